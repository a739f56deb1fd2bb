#pragma once

#include <QBitmap>
#include <QImage>
#include <QSize>

class TImgBtn;

// The shape of the frameless window: its whole client rectangle with the corners rounded off by
// quarter ellipses 10 pixels wide and high. Set bits are the window, clear bits let clicks and
// the screen behind through.
QBitmap RoundedWindowMask(QSize size);

// Whether a press on the banner starts dragging the window: only the left button, and only while
// the window is not maximised.
bool StartsWindowDrag(Qt::MouseButton button, Qt::WindowStates windowStates);

// Fills an image button from the sprite of the window buttons, which holds the normal, hover and
// pressed pictures in three bands of `height` rows: the pictures of `width` x `height` pixels at
// (x, y), (x, y + height) and (x, y + 2 * height) become Pic, PicUp and PicDown, and Pic is shown.
void SliceButtonStates(TImgBtn& button, const QImage& sprite, int width, int height, int x, int y);
