#pragma once

#include <QImage>

// The window's frame: the banner across the top, the bottom banner, the edge
// strips down the sides, and the sprite of the minimise and close buttons.

QImage BannerLeft();
QImage BannerMiddle();
QImage BannerRight();
QImage BottomLeft();
QImage BottomMiddle();
QImage BottomRight();
QImage EdgeLeft();
QImage EdgeDivider();
QImage EdgeRight();

// The three bands (normal, hover, pressed) of the minimise and close pictures. They are opaque,
// so their background is cut from the right banner at the places where the buttons lie.
QImage WindowButtons(const QImage& bannerRight);
