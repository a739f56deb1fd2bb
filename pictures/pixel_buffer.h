#pragma once

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
    // Throws PictureError ("the picture is too large") when the buffer cannot be had.
    PixelBuffer(int width, int height, int channels);

    std::size_t RowBytes() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels); }
    std::uint8_t* Row(int y) { return bytes.data() + RowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* Row(int y) const { return bytes.data() + RowBytes() * static_cast<std::size_t>(y); }
};

// The largest picture the library decodes whole, in pixels: beyond it a picture is refused as too large
// rather than take gigabytes.
inline constexpr long long kMaxWholePixels = 268'435'456;  // 2^28, 16384 x 16384

// An RGBA buffer laid on white: the books' pages and the preview are white, and JPEG has no transparency.
PixelBuffer OnWhite(const PixelBuffer& rgba);

// The picture without its alpha channel when every pixel of it is opaque; otherwise as it is.
PixelBuffer WithoutOpaqueAlpha(PixelBuffer picture);
