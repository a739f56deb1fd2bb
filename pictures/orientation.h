#pragma once

#include "pictures/pixel_buffer.h"

// The picture stood upright: `stored` turned or mirrored as EXIF orientation `orientation` (1-8) asks.
// Orientations 5 to 8 exchange width and height.
PixelBuffer TurnUpright(const PixelBuffer& stored, int orientation);

// The orientation that a picture's stored value stands for: values outside 1-8 count as 1.
int ValidOrientation(long value);
