#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

// Shapes that the icons and the banner share. Each draws into the given bounds, so the same
// shape serves a 16-pixel icon and a 48-pixel one.

struct TileColours {
    QColor light;
    QColor dark;
};

enum class Sign { Plus, Minus, Cross, Arrow };

// The base of every button icon: a rounded square, lighter at the top, with a soft shadow
// below it so that it stands out on the dark banner and on the light panel alike.
void DrawTile(QPainter& painter, const QRectF& tile, const TileColours& colours);

// A photograph: a rounded card of `paper` with a mountain and a sun in `picture`.
void DrawPhoto(QPainter& painter, const QRectF& card, const QColor& paper, const QColor& picture);

// A round badge with a ring around it and a sign in it.
void DrawBadge(QPainter& painter, const QPointF& centre, qreal radius, const QColor& fill, const QColor& ring,
               Sign sign, const QColor& signColour);

// An open book seen from above: two pages curving down to the spine.
void DrawOpenBook(QPainter& painter, const QRectF& bounds, const QColor& pages);

// A house: a roof line over a block with a door.
void DrawHouse(QPainter& painter, const QRectF& bounds, const QColor& colour, const QColor& door);

// A folder with a tab, its front flap in a lighter colour than its back.
void DrawFolder(QPainter& painter, const QRectF& bounds, const QColor& back, const QColor& front);

// The product's mark: a photograph rising out of an open book on a deep blue square.
// It is the application icon and the logo in the banner.
void DrawLogoMark(QPainter& painter, const QRectF& bounds);
