#pragma once

#include "pictures/byte_output.h"
#include "pictures/upright_rows.h"

#include <QByteArray>

// The quality at which pictures of lossy kinds are converted to JPEG: high enough that the conversion
// adds no visible loss, with full colour resolution (4:4:4).
inline constexpr int kConvertedJpegQuality = 92;

// Compresses a grey, RGB or RGBA picture, RGBA laid on white, as a JPEG picture of `quality` without colour
// subsampling into `output`, with the ICC colour profile `iccProfile` when it is not empty. Its codes are
// optimised for it when libjpeg may hold all of its coefficients within kMaxPictureWorkBytes. Throws
// JpegError, PictureError, and what `output` throws.
void WriteJpeg(UprightRows& picture, int quality, const QByteArray& iccProfile, ByteOutput& output);
