#pragma once

// The JPEG pictures made for a reader's screen. Internal to the library: its users go through screen_pages.h.

#include "pictures/byte_output.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>

// Compresses a grey or RGB picture as a baseline (single-scan) JPEG picture of `quality` into `output`: one
// channel for grey, colour at half resolution each way (4:2:0) for RGB, Huffman tables made for the picture, with
// the ICC colour profile `iccProfile` when it is not empty. Some readers cannot show multi-scan (progressive)
// pictures, so none is made. Throws JpegError; errors of the output pass through.
void WriteBaselineJpeg(const PixelBuffer& picture, int quality, const QByteArray& iccProfile, ByteOutput& output);
