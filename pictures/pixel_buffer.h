#pragma once

#include "pictures/picture_memory.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded picture held whole: rows from top to bottom, each `width * channels` bytes with no gap.
// What the channels mean is the producer's to say: grey (1), RGB (3), RGBA with straight alpha (4), or the
// inks of a CMYK JPEG picture (4).
struct PixelBuffer {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<std::uint8_t> bytes;

    PixelBuffer() = default;
    // Throws PictureError ("the picture is too large") when the buffer would pass kMaxPictureWorkBytes or cannot
    // be had: the work that needs a large one refuses the picture first, saying how much it would take.
    PixelBuffer(int width, int height, int channels);

    std::size_t RowBytes() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels); }
    std::uint8_t* Row(int y) { return bytes.data() + RowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* Row(int y) const { return bytes.data() + RowBytes() * static_cast<std::size_t>(y); }
};

// The largest picture the library holds decoded whole, in pixels: four bytes a pixel within kMaxPictureWorkBytes.
// Beyond it a picture is refused as too large rather than take gigabytes.
inline constexpr long long kMaxWholePixels = kMaxPictureWorkBytes / 4;  // 8192 x 8192

// Writes `width` RGBA pixels laid on white as RGB: the books' pages and the preview are white, and JPEG has no
// transparency.
void LayOnWhite(const std::uint8_t* rgba, std::size_t width, std::uint8_t* rgb);

// An RGBA buffer laid on white.
PixelBuffer OnWhite(const PixelBuffer& rgba);
