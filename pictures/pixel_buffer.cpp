#include "pictures/pixel_buffer.h"

#include "pictures/picture_error.h"

#include <new>

PixelBuffer::PixelBuffer(int pixelWidth, int pixelHeight, int channelCount)
    : width(pixelWidth),
      height(pixelHeight),
      channels(channelCount)
{
    if (width <= 0 || height <= 0
        || static_cast<qint64>(width) * height > kMaxPictureWorkBytes / static_cast<qint64>(channels)) {
        throw PictureError(QString::fromLatin1(picture_reason::kTooLarge));
    }
    try {
        bytes.resize(RowBytes() * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        throw PictureError(QString::fromLatin1(picture_reason::kTooLarge));
    }
}

void LayOnWhite(const std::uint8_t* rgba, std::size_t width, std::uint8_t* rgb)
{
    for (std::size_t i = 0; i < width; ++i) {
        const unsigned alpha = rgba[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            rgb[i * 3 + c] = static_cast<std::uint8_t>((rgba[i * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
}

PixelBuffer OnWhite(const PixelBuffer& rgba)
{
    PixelBuffer rgb(rgba.width, rgba.height, 3);
    for (int y = 0; y < rgba.height; ++y) {
        LayOnWhite(rgba.Row(y), static_cast<std::size_t>(rgba.width), rgb.Row(y));
    }
    return rgb;
}
