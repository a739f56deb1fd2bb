#include "panels.h"

#include "style.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kFillerSize = 12;

// The placeholder is stretched a little (146 x 175 to 140 x 168), keeping its proportions.
constexpr int kPlaceholderWidth = 146;
constexpr int kPlaceholderHeight = 175;

// Only the left 140 of a heading's 167 columns are shown.
constexpr int kHeadingWidth = 167;
constexpr int kHeadingHeight = 24;

const QColor kPlaceholderLines(0xA6, 0xB3, 0xC4);
const QColor kPlaceholderText(0x7A, 0x8A, 0xA0);

void PrepareForDrawing(QPainter& painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
}

// A heading over an edit field: a short amber bar and the field's name in dark bold type on
// the column's colour.
QImage Heading(const QString& text)
{
    QImage image = FlatPicture(kHeadingWidth, kHeadingHeight, kColumn);
    QPainter painter(&image);
    PrepareForDrawing(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccentAmberDeep);
    painter.drawRoundedRect(QRectF(8, 6, 3, 13), 1.5, 1.5);
    painter.setFont(ArtFont(kSansFamily, 13, QFont::Bold));
    painter.setPen(kInk);
    painter.drawText(QPointF(17, 17), text);
    return image;
}

// A picture frame with a mountain and a sun, in outline, as the sign for "no picture here".
void DrawEmptyPicture(QPainter& painter, const QRectF& frame)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kPlaceholderLines, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawRoundedRect(frame, 5, 5);

    QPainterPath mountains;
    mountains.moveTo(frame.left() + 6, frame.bottom() - 7);
    mountains.lineTo(frame.left() + frame.width() * 0.38, frame.top() + frame.height() * 0.42);
    mountains.lineTo(frame.left() + frame.width() * 0.58, frame.top() + frame.height() * 0.68);
    mountains.lineTo(frame.left() + frame.width() * 0.70, frame.top() + frame.height() * 0.54);
    mountains.lineTo(frame.right() - 6, frame.bottom() - 7);
    painter.drawPath(mountains);
    painter.drawEllipse(QPointF(frame.left() + frame.width() * 0.72, frame.top() + frame.height() * 0.28), 4.5, 4.5);
}

}  // namespace

QImage PreviewPlaceholder()
{
    QImage image = FlatPicture(kPlaceholderWidth, kPlaceholderHeight, kColumn);
    QPainter painter(&image);
    PrepareForDrawing(painter);

    // A white card with a dashed border: the place where the clicked page will show.
    const QRectF card(8.5, 8.5, kPlaceholderWidth - 17, kPlaceholderHeight - 17);
    painter.setBrush(QColor(0xF8, 0xFA, 0xFC));
    QPen dashes(kPlaceholderLines, 1.0, Qt::CustomDashLine);
    dashes.setDashPattern({4, 3});
    painter.setPen(dashes);
    painter.drawRoundedRect(card, 8, 8);

    DrawEmptyPicture(painter, QRectF(41, 52, 64, 48));

    painter.setFont(ArtFont(kSansFamily, 12, QFont::Bold));
    painter.setPen(kPlaceholderText);
    painter.drawText(QRectF(card.left(), 110, card.width(), 18), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("No picture"));
    painter.setFont(ArtFont(kSansFamily, 11, QFont::Normal));
    painter.drawText(QRectF(card.left(), 127, card.width(), 30), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Click a page in the\nlist to see it here"));
    return image;
}

QImage FillerUnderPreview()
{
    return FlatPicture(kFillerSize, kFillerSize, kColumn);
}

QImage HeadingTitle()
{
    return Heading(QStringLiteral("Book Title"));
}

QImage BackgroundTitle()
{
    return FlatPicture(kFillerSize, kFillerSize, kColumn);
}

QImage HeadingAuthor()
{
    return Heading(QStringLiteral("Author"));
}

QImage BackgroundAuthor()
{
    return FlatPicture(kFillerSize, kFillerSize, kColumn);
}

QImage BackgroundFields()
{
    return FlatPicture(kFillerSize, kFillerSize, kFields);
}

QImage Separator()
{
    // Stretched to 16 rows of which only the lower 8 show, under the page list: a soft shade
    // that fades out towards both ends. The upper row is the darker one, so a smooth stretch
    // gives a shadow that lightens downwards.
    constexpr int kWidth = 126;
    QImage image(kWidth, 2, QImage::Format_RGB32);
    const QColor shades[] = {QColor(0xD2, 0xDA, 0xE5), QColor(0xE7, 0xEC, 0xF2)};
    for (int x = 0; x < kWidth; ++x) {
        const double fromEnd = std::min(x + 0.5, kWidth - x - 0.5) / (kWidth * 0.18);
        const double strength = std::min(1.0, fromEnd);
        for (int y = 0; y < 2; ++y) {
            image.setPixelColor(x, y, Mix(kFields, shades[y], strength));
        }
    }
    return image;
}
