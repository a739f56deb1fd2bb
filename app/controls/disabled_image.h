#pragma once

#include "common/user_error.h"

#include <QImage>

// Raised when an operation needs a picture and is given an empty one.
class ImageHeaderError : public UserError {
public:
    ImageHeaderError();
};

// Makes dest the faded look of source that a disabled image push button shows: a copy whose
// alpha values are divided by 3 (255 becomes 85), so the picture lets a third of itself through.
//
// A picture without alpha is first given one, fully opaque; 16-bit pictures stay 16-bit
// (QImage::Format_RGBA64), all others become QImage::Format_ARGB32. A palette picture
// (Indexed8, Mono) is copied unchanged: its look does not fade.
//
// An empty source empties dest and raises ImageHeaderError.
void MakeDisabledImage(const QImage& source, QImage& dest);
