#pragma once

#include <QRect>

class QKeyEvent;
class QPainter;

// What the window's buttons share for the keyboard.

// Draws the look of a button that has the keyboard's focus: a dotted line around `rect`, black dots
// on white, so that it shows over the dark banner and over the light fields alike.
void DrawFocusLook(QPainter& painter, const QRect& rect);

// Whether a key pressed on a focused button presses it: Space, Return or Enter, without a modifier
// and not repeated by a held key.
bool PressesAButton(const QKeyEvent& event);
