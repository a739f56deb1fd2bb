#pragma once

#include <QBitmap>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class TImgBtn;

// The shape of the frameless window: its whole client rectangle with the corners rounded off by
// quarter ellipses 10 pixels wide and high. Set bits are the window, clear bits let clicks and
// the screen behind through.
QBitmap RoundedWindowMask(QSize size);

// Where a window of `size` opens: at `stored` when it lies there wholly inside the available area
// (the screen less the desktop's panels) of one of the screens; otherwise centred in
// `areaUnderPointer`, the available area of the screen under the pointer. Along a side where that
// area is too small for the window, the window starts at the area's edge, so that its top-left
// corner, where the banner that drags it begins, stays on the screen.
QPoint WindowPosition(QSize size, QPoint stored, const QList<QRect>& availableAreas, const QRect& areaUnderPointer);

// Whether a press on the banner starts dragging the window: only the left button, and only while
// the window is not maximised.
bool StartsWindowDrag(Qt::MouseButton button, Qt::WindowStates windowStates);

// Fills an image button from the sprite of the window buttons, which holds the normal, hover and
// pressed pictures in three bands of `height` rows: the pictures of `width` x `height` pixels at
// (x, y), (x, y + height) and (x, y + 2 * height) become Pic, PicUp and PicDown, and Pic is shown.
void SliceButtonStates(TImgBtn& button, const QImage& sprite, int width, int height, int x, int y);
