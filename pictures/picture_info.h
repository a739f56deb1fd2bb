#pragma once

#include "pictures/picture_kind.h"

#include <QSize>

// What a picture's header says about it.
struct PictureInfo {
    PictureKind kind = PictureKind::Jpeg;
    // The size in pixels as the picture is stored.
    QSize size;
    // How the stored picture must be turned to stand upright, as EXIF numbers it: 1 upright, 2 mirrored
    // left to right, 3 turned half round, 4 mirrored top to bottom, 5 mirrored along the falling diagonal,
    // 6 to be turned a quarter clockwise, 7 mirrored along the rising diagonal, 8 to be turned a quarter
    // anticlockwise. A value outside 1-8 in the picture counts as 1. HEIF pictures come out of their
    // decoder upright, so theirs is always 1 and `size` is already their upright size.
    int orientation = 1;

    // The size as the picture is shown: `size` with width and height exchanged for orientations 5 to 8.
    QSize DisplayedSize() const;

    // Whether the book holds the file as it is: a JPEG, PNG or GIF picture that stands upright.
    bool CarriedAsIs() const;
};
