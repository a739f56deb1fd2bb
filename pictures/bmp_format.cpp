#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <cstdlib>
#include <memory>

#include <stb_image.h>

namespace {

// The fields of a bitmap's headers that say how long its pixel data is.
constexpr qsizetype kDataOffsetAt = 10;  // in the file header: where the pixels begin
constexpr qsizetype kInfoHeaderAt = 14;
constexpr unsigned kCoreHeaderSize = 12;  // the oldest header, of 16-bit fields
constexpr unsigned kUncompressed = 0;
constexpr unsigned kBitFields = 3;

quint32 Field(const QByteArray& head, qsizetype at, int length)
{
    quint32 value = 0;
    for (int i = length - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(head[at + i]);
    }
    return value;
}

// Whether the pixel data of the bitmap whose header is `head` fits in the `available` bytes after its
// start: rows of whole 4-byte words; for a compressed bitmap, the length its header gives.
bool PixelDataFits(const QByteArray& head, qint64 available)
{
    const quint32 headerSize = Field(head, kInfoHeaderAt, 4);
    const bool core = headerSize == kCoreHeaderSize;
    if (head.size() < kInfoHeaderAt + (core ? 12 : 40)) {
        return false;
    }
    const qint64 width = core ? Field(head, 18, 2) : static_cast<qint32>(Field(head, 18, 4));
    const qint64 height = core ? Field(head, 20, 2) : static_cast<qint32>(Field(head, 22, 4));
    const qint64 bitsPerPixel = Field(head, core ? 24 : 28, 2);
    const quint32 compression = core ? kUncompressed : Field(head, 30, 4);
    if (compression != kUncompressed && compression != kBitFields) {
        return Field(head, 34, 4) <= available;
    }
    const qint64 rowBytes = (std::abs(width) * bitsPerPixel + 31) / 32 * 4;
    return height == 0 || rowBytes <= available / std::abs(height);
}

struct StbFree {
    void operator()(const stbi_uc* pixels) const { stbi_image_free(const_cast<stbi_uc*>(pixels)); }
};

QString StbReason()
{
    const char* reason = stbi_failure_reason();
    return reason != nullptr ? QString::fromLatin1(reason) : QString::fromLatin1(picture_reason::kDamaged);
}

}  // namespace

PictureInfo InspectBmp(const PictureSource& source)
{
    const QByteArray& head = source.Head();
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(head.constData()), static_cast<int>(head.size()), &width,
                              &height, &channels)
        == 0) {
        throw PictureError(StbReason());
    }
    const qint64 dataOffset = Field(head, kDataOffsetAt, 4);
    if (dataOffset > source.Size() || !PixelDataFits(head, source.Size() - dataOffset)) {
        Refuse(picture_reason::kCutShort);
    }
    return PictureInfo{PictureKind::Bmp, QSize(width, height), 1};
}

std::unique_ptr<StoredRows> ReadBmp(const PictureSource& source)
{
    const QByteArray& head = source.Head();
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(head.constData()), static_cast<int>(head.size()), &width,
                              &height, &channels)
        == 0) {
        throw PictureError(StbReason());
    }
    const PixelLayout layout = channels == 4 ? PixelLayout::Rgba : PixelLayout::Rgb;
    // stb_image decodes from the whole file held in memory.
    RefuseBeyondMemoryLimit(source.Size() + static_cast<qint64>(RowBytes(width, layout)) * height, "decoding");
    const QByteArray bytes = source.All();
    const QSize size(width, height);
    const std::shared_ptr<const stbi_uc> pixels(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.constData()), static_cast<int>(bytes.size()),
                              &width, &height, &channels, SamplesPerPixel(layout)),
        StbFree());
    if (!pixels || QSize(width, height) != size) {
        throw PictureError(StbReason());
    }
    return std::make_unique<HeldRows>(size, layout, pixels.get(), static_cast<std::ptrdiff_t>(RowBytes(width, layout)),
                                      pixels, QByteArray());
}
