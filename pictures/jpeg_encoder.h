#pragma once

#include "pictures/byte_output.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>

// The quality at which pictures of lossy kinds are converted to JPEG: high enough that the conversion
// adds no visible loss, with full colour resolution (4:4:4).
inline constexpr int kConvertedJpegQuality = 92;

// Compresses an RGB or grey picture as a JPEG picture of `quality` without colour subsampling into `output`,
// with the ICC colour profile `iccProfile` when it is not empty. Throws JpegError, and what `output` throws.
void WriteJpeg(const PixelBuffer& picture, int quality, const QByteArray& iccProfile, ByteOutput& output);
