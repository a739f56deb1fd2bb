#include "pictures/pixel_buffer.h"

#include "pictures/picture_error.h"
#include "pictures/picture_memory.h"

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
