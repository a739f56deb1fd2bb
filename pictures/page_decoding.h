#pragma once

// The decoding of a picture for its pages on a reader's screen. Internal to the library: its users go through
// screen_pages.h.

#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>
#include <QSize>

struct UprightPicture {
    PixelBuffer pixels;     // grey or RGB, transparent parts laid on white
    QByteArray iccProfile;  // the colour profile the picture carries; empty when none
};

// The picture in `source`, which InspectPicture described as `info`, decoded upright at the smallest size its
// decoding reaches cheaply that is at least `least` (at most info.DisplayedSize()): a JPEG picture at the
// smallest of its decoder's scales (1/8 to 8/8) that covers it, grey when `grey` is asked (the decoder gives JPEG's
// own grey, the weights GreyOf uses); a PNG or GIF picture averaged by a whole number as its rows arrive, to no
// less than twice `least`, so that the resampling after it still does the last halving and more; every other kind
// whole.
UprightPicture DecodeAtLeast(const PictureSource& source, const PictureInfo& info, QSize least, bool grey);
