#include "pictures/pixel_buffer.h"

#include "pictures/picture_error.h"

#include <cstring>
#include <new>

PixelBuffer::PixelBuffer(int pixelWidth, int pixelHeight, int channelCount)
    : width(pixelWidth),
      height(pixelHeight),
      channels(channelCount)
{
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxWholePixels) {
        throw PictureError(QString::fromLatin1(picture_reason::kTooLarge));
    }
    try {
        bytes.resize(RowBytes() * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        throw PictureError(QString::fromLatin1(picture_reason::kTooLarge));
    }
}

PixelBuffer OnWhite(const PixelBuffer& rgba)
{
    PixelBuffer rgb(rgba.width, rgba.height, 3);
    const std::size_t pixels = static_cast<std::size_t>(rgba.width) * static_cast<std::size_t>(rgba.height);
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned alpha = rgba.bytes[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            rgb.bytes[i * 3 + c] =
                static_cast<std::uint8_t>((rgba.bytes[i * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return rgb;
}

PixelBuffer WithoutOpaqueAlpha(PixelBuffer picture)
{
    if (picture.channels != 4) {
        return picture;
    }
    const std::size_t pixels = picture.bytes.size() / 4;
    for (std::size_t i = 0; i < pixels; ++i) {
        if (picture.bytes[i * 4 + 3] != 255) {
            return picture;
        }
    }
    for (std::size_t i = 0; i < pixels; ++i) {
        std::memmove(&picture.bytes[i * 3], &picture.bytes[i * 4], 3);
    }
    picture.channels = 3;
    picture.bytes.resize(pixels * 3);
    return picture;
}
