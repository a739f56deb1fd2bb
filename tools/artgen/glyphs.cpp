#include "glyphs.h"

#include "style.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace {

// A point of `bounds` given as fractions of its width and height.
QPointF At(const QRectF& bounds, qreal u, qreal v)
{
    return {bounds.left() + u * bounds.width(), bounds.top() + v * bounds.height()};
}

QPainterPath HalfBookPath(const QRectF& bounds, bool left)
{
    // Drawn for the left page; the right page is its mirror image.
    const auto point = [&](qreal u, qreal v) { return At(bounds, left ? u : 1.0 - u, v); };
    const qreal spine = 0.47;
    QPainterPath page;
    page.moveTo(point(spine, 0.16));
    page.cubicTo(point(0.36, 0.02), point(0.14, 0.0), point(0.0, 0.06));
    page.lineTo(point(0.0, 0.86));
    page.cubicTo(point(0.16, 0.80), point(0.36, 0.84), point(spine, 1.0));
    page.closeSubpath();
    return page;
}

}  // namespace

void DrawTile(QPainter& painter, const QRectF& tile, const TileColours& colours)
{
    const qreal radius = tile.width() * 0.25;
    painter.save();
    painter.setPen(Qt::NoPen);
    // Two shadow layers, the wider one fainter, fake a small blur.
    painter.setBrush(QColor(0, 0, 0, 34));
    painter.drawRoundedRect(tile.adjusted(-0.5, 1.0, 0.5, 2.0), radius + 0.5, radius + 0.5);
    painter.setBrush(QColor(0, 0, 0, 46));
    painter.drawRoundedRect(tile.translated(0.0, 1.0), radius, radius);

    QLinearGradient body(tile.topLeft(), tile.bottomLeft());
    body.setColorAt(0.0, colours.light);
    body.setColorAt(1.0, colours.dark);
    painter.setBrush(body);
    painter.drawRoundedRect(tile, radius, radius);

    // A light rim on the upper half gives the tile a gentle bevel.
    QLinearGradient rim(tile.topLeft(), tile.bottomLeft());
    rim.setColorAt(0.0, QColor(255, 255, 255, 110));
    rim.setColorAt(0.5, QColor(255, 255, 255, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(rim), 1.0));
    painter.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    painter.restore();
}

void DrawPhoto(QPainter& painter, const QRectF& card, const QColor& paper, const QColor& picture)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(paper);
    const qreal radius = std::min(card.width(), card.height()) * 0.14;
    painter.drawRoundedRect(card, radius, radius);

    painter.setBrush(picture);
    QPainterPath mountains;
    mountains.moveTo(At(card, 0.14, 0.84));
    mountains.lineTo(At(card, 0.40, 0.42));
    mountains.lineTo(At(card, 0.58, 0.66));
    mountains.lineTo(At(card, 0.70, 0.52));
    mountains.lineTo(At(card, 0.86, 0.84));
    mountains.closeSubpath();
    painter.drawPath(mountains);
    const qreal sun = card.height() * 0.12;
    painter.drawEllipse(At(card, 0.72, 0.30), sun, sun);
    painter.restore();
}

void DrawBadge(QPainter& painter, const QPointF& centre, qreal radius, const QColor& fill, const QColor& ring,
               Sign sign, const QColor& signColour)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(centre, radius + 1.5, radius + 1.5);
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);

    const qreal arm = radius * 0.55;
    painter.setPen(QPen(signColour, radius * 0.36, Qt::SolidLine, Qt::RoundCap));
    switch (sign) {
    case Sign::Plus:
        painter.drawLine(centre + QPointF(-arm, 0), centre + QPointF(arm, 0));
        painter.drawLine(centre + QPointF(0, -arm), centre + QPointF(0, arm));
        break;
    case Sign::Minus:
        painter.drawLine(centre + QPointF(-arm, 0), centre + QPointF(arm, 0));
        break;
    case Sign::Cross: {
        const qreal diagonal = arm * 0.8;
        painter.drawLine(centre + QPointF(-diagonal, -diagonal), centre + QPointF(diagonal, diagonal));
        painter.drawLine(centre + QPointF(-diagonal, diagonal), centre + QPointF(diagonal, -diagonal));
        break;
    }
    case Sign::Arrow:
        painter.setPen(QPen(signColour, radius * 0.32, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(centre + QPointF(-arm, 0), centre + QPointF(arm, 0));
        painter.drawPolyline(
            QPolygonF({centre + QPointF(0, -arm * 0.8), centre + QPointF(arm, 0), centre + QPointF(0, arm * 0.8)}));
        break;
    }
    painter.restore();
}

void DrawOpenBook(QPainter& painter, const QRectF& bounds, const QColor& pages)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(pages);
    painter.drawPath(HalfBookPath(bounds, true));
    painter.drawPath(HalfBookPath(bounds, false));
    painter.restore();
}

void DrawHouse(QPainter& painter, const QRectF& bounds, const QColor& colour, const QColor& door)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRect(QRectF(At(bounds, 0.2, 0.46), At(bounds, 0.8, 1.0)));
    painter.setBrush(door);
    painter.drawRect(QRectF(At(bounds, 0.41, 0.66), At(bounds, 0.59, 1.0)));

    QPainterPath roof;
    roof.moveTo(At(bounds, 0.06, 0.52));
    roof.lineTo(At(bounds, 0.5, 0.08));
    roof.lineTo(At(bounds, 0.94, 0.52));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, bounds.width() * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(roof);
    painter.restore();
}

void DrawFolder(QPainter& painter, const QRectF& bounds, const QColor& back, const QColor& front)
{
    const qreal radius = bounds.height() * 0.12;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRoundedRect(QRectF(At(bounds, 0.0, 0.0), At(bounds, 0.44, 0.3)), radius, radius);
    painter.drawRoundedRect(QRectF(At(bounds, 0.0, 0.14), At(bounds, 1.0, 1.0)), radius, radius);
    painter.setBrush(front);
    painter.drawRoundedRect(QRectF(At(bounds, 0.0, 0.32), At(bounds, 1.0, 1.0)), radius, radius);
    painter.restore();
}

void DrawLogoMark(QPainter& painter, const QRectF& bounds)
{
    const qreal radius = bounds.width() * 0.22;
    painter.save();
    painter.setPen(Qt::NoPen);
    QLinearGradient body(bounds.topLeft(), bounds.bottomLeft());
    body.setColorAt(0.0, QColor(0x4A, 0x6F, 0xB0));
    body.setColorAt(1.0, QColor(0x1E, 0x30, 0x52));
    painter.setBrush(body);
    painter.drawRoundedRect(bounds, radius, radius);

    // A light rim keeps the mark apart from a dark background such as the banner.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 70), std::max<qreal>(1.0, bounds.width() / 32.0)));
    const qreal inset = painter.pen().widthF() / 2.0;
    painter.drawRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);

    const QRectF inner =
        bounds.adjusted(bounds.width() * 0.14, bounds.height() * 0.14, -bounds.width() * 0.14, -bounds.height() * 0.16);
    DrawPhoto(painter, QRectF(At(inner, 0.24, 0.0), At(inner, 0.76, 0.5)), kAccentAmber, QColor(0x1E, 0x30, 0x52));
    DrawOpenBook(painter, QRectF(At(inner, 0.0, 0.46), At(inner, 1.0, 1.0)), Qt::white);
    painter.restore();
}
