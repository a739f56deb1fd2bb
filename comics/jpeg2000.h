#pragma once

#include "pictures/pixel_buffer.h"

#include <QByteArray>
#include <QSize>

// JPEG 2000 pictures (a JP2 file or a bare codestream), read with openjpeg. Both throw PictureError with the
// reason when the picture is damaged or is of a kind this program does not take.

// What a JPEG 2000 picture's header says.
struct Jpeg2000Facts {
    QSize size;
    // Samples in all: the pixels times their colour components.
    qint64 samples = 0;
    // Whether it is coded with the reversible wavelet, which keeps every pixel.
    bool lossless = false;
};

Jpeg2000Facts ReadJpeg2000Facts(const QByteArray& bytes);

// A JPEG 2000 picture decoded whole, 8 bits per sample: grey, RGB or RGBA (a grey picture with alpha becomes RGBA).
struct DecodedJpeg2000 {
    PixelBuffer pixels;
    QByteArray iccProfile;
    bool lossless = false;
};

// Refuses, before decoding, a picture of more than kMaxWholePixels or of more than `maxSamples` samples (openjpeg
// holds four bytes of each while it decodes).
DecodedJpeg2000 DecodeJpeg2000(const QByteArray& bytes, qint64 maxSamples);
