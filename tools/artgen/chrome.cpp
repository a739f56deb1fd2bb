#include "chrome.h"

#include "glyphs.h"
#include "style.h"

#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr int kBannerLeftWidth = 333;
constexpr int kBannerMiddleWidth = 6;
constexpr int kBannerRightWidth = 180;
constexpr int kBottomLeftWidth = 227;
constexpr int kBottomMiddleWidth = 7;
constexpr int kBottomRightWidth = 69;
constexpr int kEdgeHeight = 450;
constexpr int kBorderHeight = 376;

// The window is 719 wide and the right banner starts at 539; the minimise button stands at
// 649 and the close button at 673, both 8 below the top.
constexpr QPoint kMinimiseInBanner(110, 8);
constexpr QPoint kCloseInBanner(134, 8);

// The sprite: three bands of 20 rows; the minimise pictures in columns 0 to 39, the close
// pictures in 68 to 91. Of a minimise picture only the left 24 columns show: the button is 25
// wide and the close button covers its last column. The signs are drawn in those 24 columns.
constexpr int kSpriteWidth = 121;
constexpr int kBandHeight = 20;
constexpr int kMinimiseColumn = 0;
constexpr int kMinimiseWidth = 40;
constexpr int kCloseColumn = 68;
constexpr int kCloseWidth = 24;
constexpr int kShownWidth = 24;

enum class ButtonState { Normal, Hover, Pressed };

void PrepareForDrawing(QPainter& painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// A darker column of a strip beside the content panels, which makes them look set in.
void ShadeColumn(QImage& strip, int column)
{
    QPainter painter(&strip);
    painter.fillRect(column, 0, 1, strip.height(), kFrameShade);
}

// The rounded light behind a window button's sign while the pointer is over it or presses it.
void DrawButtonPlate(QPainter& painter, const QRect& picture, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(picture).adjusted(1, 1, -1, -1), 4, 4);
}

QColor SignColour(ButtonState state)
{
    return state == ButtonState::Normal ? QColor(0xC8, 0xD4, 0xE8) : QColor(Qt::white);
}

// A pressed sign sits one pixel lower, as if pushed in.
int PressDepth(ButtonState state)
{
    return state == ButtonState::Pressed ? 1 : 0;
}

void DrawMinimise(QPainter& painter, const QRect& picture, ButtonState state)
{
    if (state == ButtonState::Hover) {
        DrawButtonPlate(painter, picture, QColor(255, 255, 255, 46));
    } else if (state == ButtonState::Pressed) {
        DrawButtonPlate(painter, picture, QColor(255, 255, 255, 26));
    }
    const int y = picture.top() + 12 + PressDepth(state);
    painter.fillRect(picture.left() + 7, y, 10, 2, SignColour(state));
}

void DrawClose(QPainter& painter, const QRect& picture, ButtonState state)
{
    if (state == ButtonState::Hover) {
        DrawButtonPlate(painter, picture, QColor(0xE5, 0x48, 0x4D));
    } else if (state == ButtonState::Pressed) {
        DrawButtonPlate(painter, picture, QColor(0xB4, 0x2F, 0x35));
    }
    const QPointF centre(QRectF(picture).center().x(), picture.top() + 10.0 + PressDepth(state));
    const qreal arm = 4.0;
    painter.setPen(QPen(SignColour(state), 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}

}  // namespace

QImage BannerLeft()
{
    QImage image = RowsPicture(kBannerLeftWidth, kBannerHeight, BannerColour);
    QPainter painter(&image);
    PrepareForDrawing(painter);

    // A soft light from the top left corner; it has faded out before the right edge, so the
    // columns where the middle piece joins keep the plain banner colour.
    QRadialGradient glow(QPointF(60, 0), 250);
    glow.setColorAt(0.0, QColor(0x72, 0xA0, 0xEA, 64));
    glow.setColorAt(1.0, QColor(0x72, 0xA0, 0xEA, 0));
    painter.fillRect(image.rect(), glow);

    // The product's name above the command buttons, which stand from y 40 on.
    DrawLogoMark(painter, QRectF(12, 7, 26, 26));
    painter.setFont(ArtFont(kSansFamily, 23, QFont::Bold));
    painter.setPen(Qt::white);
    painter.drawText(QPointF(46, 28), QStringLiteral("Tamboril"));
    const int nameEnd = 46 + painter.fontMetrics().horizontalAdvance(QStringLiteral("Tamboril"));
    painter.setFont(ArtFont(kSansFamily, 12, QFont::Normal));
    painter.setPen(kMutedOnFrame);
    painter.drawText(QPointF(nameEnd + 10, 28), QStringLiteral("pictures to EPUB"));
    return image;
}

QImage BannerMiddle()
{
    // Every column alike, so the piece can be stretched to any width.
    return RowsPicture(kBannerMiddleWidth, kBannerHeight, BannerColour);
}

QImage BannerRight()
{
    QImage image = RowsPicture(kBannerRightWidth, kBannerHeight, BannerColour);
    QPainter painter(&image);
    PrepareForDrawing(painter);

    // A faint picture of photographs going into a book, below the window buttons and clear of
    // the left edge where the middle piece joins.
    painter.setOpacity(0.11);
    painter.translate(108, 60);
    painter.rotate(-12);
    DrawPhoto(painter, QRectF(-30, -18, 30, 23), Qt::white, BannerColour(60));
    painter.rotate(20);
    DrawPhoto(painter, QRectF(4, -20, 30, 23), Qt::white, BannerColour(60));
    painter.resetTransform();
    DrawOpenBook(painter, QRectF(54, 80, 110, 50), Qt::white);
    return image;
}

QImage BottomLeft()
{
    QImage image = RowsPicture(kBottomLeftWidth, kBottomHeight, BottomColour);
    QPainter painter(&image);
    PrepareForDrawing(painter);
    painter.setFont(ArtFont(kSansFamily, 12, QFont::Normal));
    painter.setPen(kMutedOnFrame);
    painter.drawText(QPointF(16, 27), QStringLiteral("One picture, one page."));
    return image;
}

QImage BottomMiddle()
{
    return RowsPicture(kBottomMiddleWidth, kBottomHeight, BottomColour);
}

QImage BottomRight()
{
    return RowsPicture(kBottomRightWidth, kBottomHeight, BottomColour);
}

QImage EdgeLeft()
{
    QImage strip = FlatPicture(8, kEdgeHeight, kFrame);
    ShadeColumn(strip, 7);
    return strip;
}

QImage EdgeDivider()
{
    QImage strip = FlatPicture(21, kEdgeHeight, kFrame);
    ShadeColumn(strip, 0);
    ShadeColumn(strip, 20);
    return strip;
}

QImage EdgeRight()
{
    QImage strip = FlatPicture(15, kBorderHeight, kFrame);
    ShadeColumn(strip, 0);
    return strip;
}

QImage WindowButtons(const QImage& bannerRight)
{
    QImage sprite(kSpriteWidth, 3 * kBandHeight, QImage::Format_RGB32);
    sprite.fill(kFrame);
    QPainter painter(&sprite);
    PrepareForDrawing(painter);
    const ButtonState states[] = {ButtonState::Normal, ButtonState::Hover, ButtonState::Pressed};
    for (int band = 0; band < 3; ++band) {
        const int top = band * kBandHeight;
        painter.drawImage(QPoint(kMinimiseColumn, top), bannerRight,
                          QRect(kMinimiseInBanner, QSize(kMinimiseWidth, kBandHeight)));
        painter.drawImage(QPoint(kCloseColumn, top), bannerRight,
                          QRect(kCloseInBanner, QSize(kCloseWidth, kBandHeight)));
        DrawMinimise(painter, QRect(kMinimiseColumn, top, kShownWidth, kBandHeight), states[band]);
        DrawClose(painter, QRect(kCloseColumn, top, kShownWidth, kBandHeight), states[band]);
    }
    painter.end();
    return sprite.convertToFormat(QImage::Format_RGB888);
}
