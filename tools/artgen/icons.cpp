#include "icons.h"

#include "glyphs.h"
#include "style.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr int kIconSize = 32;
constexpr int kHintSize = 16;

// The tile leaves room below it for its shadow.
const QRectF kTile(2, 1.5, 28, 28);

const TileColours kGreen{QColor(0x45, 0xC2, 0x7C), QColor(0x22, 0x92, 0x50)};
const TileColours kOrange{QColor(0xF7, 0xA0, 0x4E), QColor(0xDD, 0x68, 0x20)};
const TileColours kRed{QColor(0xF0, 0x5E, 0x63), QColor(0xC4, 0x30, 0x38)};
const TileColours kAmber{QColor(0xFF, 0xD7, 0x70), QColor(0xF2, 0x9A, 0x1C)};
const TileColours kBlue{QColor(0x5E, 0x9E, 0xF6), QColor(0x2C, 0x68, 0xD2)};
const TileColours kPurple{QColor(0xA0, 0x80, 0xF0), QColor(0x69, 0x48, 0xD0)};
const TileColours kTeal{QColor(0x3F, 0xC8, 0xB4), QColor(0x18, 0x90, 0x80)};

const QColor kNavyInk(0x1E, 0x30, 0x50);

// Paints an icon of the given size and pixel format through `draw`.
QImage PaintIcon(int size, QImage::Format format, auto draw)
{
    QImage image(size, size, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing);
    draw(painter);
    return image;
}

// Paints a 32 x 32 button icon of 8 bits per channel through `draw`.
QImage PaintButtonIcon(auto draw)
{
    return PaintIcon(kIconSize, QImage::Format_ARGB32_Premultiplied, draw).convertToFormat(QImage::Format_ARGB32);
}

// A photograph with a round badge on its lower right corner: the pictures icons of the page list.
void DrawPhotoWithBadge(QPainter& painter, const TileColours& tile, Sign sign)
{
    DrawTile(painter, kTile, tile);
    DrawPhoto(painter, QRectF(6.5, 7, 17, 13.5), Qt::white, tile.dark);
    DrawBadge(painter, QPointF(22.5, 20.5), 5.5, Qt::white, tile.dark, sign, tile.dark);
}

}  // namespace

QImage IconAdd()
{
    return PaintButtonIcon([](QPainter& painter) { DrawPhotoWithBadge(painter, kGreen, Sign::Plus); });
}

QImage IconRemove()
{
    return PaintButtonIcon([](QPainter& painter) { DrawPhotoWithBadge(painter, kOrange, Sign::Minus); });
}

QImage IconRemoveAll()
{
    return PaintButtonIcon([](QPainter& painter) {
        DrawTile(painter, kTile, kRed);
        // A pile of photographs: the one behind shows paler.
        DrawPhoto(painter, QRectF(10, 5, 16, 12.5), Mix(Qt::white, kRed.light, 0.35), kRed.dark);
        DrawPhoto(painter, QRectF(6, 9, 16, 12.5), Qt::white, kRed.dark);
        DrawBadge(painter, QPointF(22.5, 20.5), 5.5, Qt::white, kRed.dark, Sign::Cross, kRed.dark);
    });
}

QImage IconConvert()
{
    return PaintButtonIcon([](QPainter& painter) {
        DrawTile(painter, kTile, kAmber);
        // The book the pictures become, with an arrow: go ahead and make it.
        DrawOpenBook(painter, QRectF(5, 7.5, 20, 14), kNavyInk);
        DrawBadge(painter, QPointF(22.5, 20.5), 5.5, kNavyInk, kAmber.dark, Sign::Arrow, Qt::white);
    });
}

QImage IconHome()
{
    return PaintButtonIcon([](QPainter& painter) {
        DrawTile(painter, kTile, kBlue);
        DrawHouse(painter, QRectF(7, 6, 18, 17), Qt::white, kBlue.dark);
    });
}

QImage IconCover()
{
    return PaintIcon(kIconSize, QImage::Format_RGBA64_Premultiplied,
                     [](QPainter& painter) {
                         DrawTile(painter, kTile, kPurple);
                         // The front of a book: a spine on the left, a picture and two title lines on the cover.
                         painter.setPen(Qt::NoPen);
                         painter.setBrush(Qt::white);
                         painter.drawRoundedRect(QRectF(8.5, 5.5, 15, 20), 2, 2);
                         painter.setBrush(Mix(Qt::white, kPurple.light, 0.45));
                         painter.drawRect(QRectF(8.5, 7.5, 2.5, 16));
                         DrawPhoto(painter, QRectF(12, 7.5, 10, 9.5), Qt::white, kPurple.dark);
                         painter.setPen(QPen(kPurple.dark, 1.2, Qt::SolidLine, Qt::RoundCap));
                         painter.drawLine(QPointF(14, 19.5), QPointF(21, 19.5));
                         painter.drawLine(QPointF(14, 22), QPointF(19, 22));
                     })
        .convertToFormat(QImage::Format_RGBA64);
}

QImage IconFolder()
{
    return PaintButtonIcon([](QPainter& painter) {
        DrawTile(painter, kTile, kTeal);
        DrawFolder(painter, QRectF(6.5, 8, 19, 15), Mix(Qt::white, kTeal.light, 0.3), Qt::white);
    });
}

QImage IconHint()
{
    return PaintIcon(kHintSize, QImage::Format_ARGB32_Premultiplied,
                     [](QPainter& painter) {
                         // A blue disc with an up-and-down arrow: rows can be moved up and down.
                         QLinearGradient disc(0, 0, 0, kHintSize);
                         disc.setColorAt(0.0, kBlue.light);
                         disc.setColorAt(1.0, kBlue.dark);
                         painter.setPen(Qt::NoPen);
                         painter.setBrush(disc);
                         painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
                         painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                         painter.setBrush(Qt::NoBrush);
                         painter.drawLine(QPointF(8, 4), QPointF(8, 12));
                         painter.drawPolyline(QPolygonF({QPointF(5.5, 6.5), QPointF(8, 4), QPointF(10.5, 6.5)}));
                         painter.drawPolyline(QPolygonF({QPointF(5.5, 9.5), QPointF(8, 12), QPointF(10.5, 9.5)}));
                     })
        .convertToFormat(QImage::Format_ARGB32);
}

QImage AppIcon(int size)
{
    return PaintIcon(size, QImage::Format_ARGB32_Premultiplied,
                     [size](QPainter& painter) { DrawLogoMark(painter, QRectF(0, 0, size, size)); })
        .convertToFormat(QImage::Format_ARGB32);
}
