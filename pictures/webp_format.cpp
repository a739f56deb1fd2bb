#include "pictures/exif_orientation.h"
#include "pictures/orientation.h"
#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <array>
#include <cstring>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

namespace {

constexpr qint64 kRiffHeaderBytes = 12;  // "RIFF", the size of what follows, "WEBP"
constexpr qint64 kChunkHeaderBytes = 8;  // its four letters, the size of its data
constexpr int kExifFlag = 0x08;          // in the first byte of the extended header's data

quint32 LittleEndian(const unsigned char* bytes)
{
    return static_cast<quint32>(bytes[0]) | static_cast<quint32>(bytes[1]) << 8 | static_cast<quint32>(bytes[2]) << 16
           | static_cast<quint32>(bytes[3]) << 24;
}

// The data of the first chunk named `name`, found by walking the chunk headers; empty when there is none.
QByteArray ChunkData(const PictureSource& source, const char* name)
{
    qint64 at = kRiffHeaderBytes;
    while (at + kChunkHeaderBytes <= source.Size()) {
        std::array<unsigned char, kChunkHeaderBytes> header{};
        source.ReadAt(at, header.data(), header.size());
        const qint64 length = LittleEndian(header.data() + 4);
        if (std::memcmp(header.data(), name, 4) == 0) {
            return source.BytesAt(at + kChunkHeaderBytes, length);
        }
        at += kChunkHeaderBytes + length + (length & 1);
    }
    return {};
}

int OrientationOf(const PictureSource& source)
{
    const QByteArray& head = source.Head();
    const bool extended = head.mid(12, 4) == "VP8X" && head.size() > 20;
    if (!extended || (static_cast<unsigned char>(head[20]) & kExifFlag) == 0) {
        return 1;
    }
    QByteArray exif = ChunkData(source, "EXIF");
    // Some writers keep the signature JPEG pictures put before the block.
    if (exif.startsWith(QByteArray(kJpegExifSignature, kJpegExifSignatureLength))) {
        exif.remove(0, kJpegExifSignatureLength);
    }
    const auto entry = FindExifOrientation(exif);
    return entry ? ValidOrientation(entry->value) : 1;
}

WebPBitstreamFeatures FeaturesOf(const QByteArray& bytes)
{
    WebPBitstreamFeatures features{};
    const VP8StatusCode status = WebPGetFeatures(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                 static_cast<size_t>(bytes.size()), &features);
    if (status == VP8_STATUS_NOT_ENOUGH_DATA) {
        Refuse(picture_reason::kCutShort);
    }
    if (status != VP8_STATUS_OK) {
        Refuse(picture_reason::kDamaged);
    }
    if (features.has_animation != 0) {
        throw PictureError(QStringLiteral("animated WebP pictures are not supported"));
    }
    return features;
}

// The features of the picture in `source`. The extended header may put a colour profile before the picture's own
// header: then the whole file is needed to find them.
WebPBitstreamFeatures HeaderFeatures(const PictureSource& source)
{
    try {
        return FeaturesOf(source.Head());
    } catch (const PictureError&) {
        return FeaturesOf(source.All());
    }
}

struct DemuxDelete {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};

QByteArray IccProfileOf(const QByteArray& bytes)
{
    const WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
    const std::unique_ptr<WebPDemuxer, DemuxDelete> demuxer(WebPDemux(&data));
    WebPChunkIterator chunk{};
    if (!demuxer || WebPDemuxGetChunk(demuxer.get(), "ICCP", 1, &chunk) == 0) {
        return {};
    }
    QByteArray profile(reinterpret_cast<const char*>(chunk.chunk.bytes), static_cast<qsizetype>(chunk.chunk.size));
    WebPDemuxReleaseChunkIterator(&chunk);
    return profile;
}

}  // namespace

PictureInfo InspectWebp(const PictureSource& source)
{
    std::array<unsigned char, 8> riff{};
    source.ReadAt(0, riff.data(), riff.size());
    if (kChunkHeaderBytes + LittleEndian(riff.data() + 4) > source.Size()) {
        Refuse(picture_reason::kCutShort);
    }
    const WebPBitstreamFeatures features = HeaderFeatures(source);
    const PictureKind kind = features.format == 2 ? PictureKind::WebpLossless : PictureKind::WebpLossy;
    return PictureInfo{kind, QSize(features.width, features.height), OrientationOf(source)};
}

std::unique_ptr<StoredRows> ReadWebp(const PictureSource& source)
{
    // The whole file is read, and a lossless picture is decoded through a picture of 4 bytes a pixel of the
    // decoder's own before it comes out in ours.
    const WebPBitstreamFeatures header = HeaderFeatures(source);
    const bool alpha = header.has_alpha != 0;
    const PixelLayout layout = alpha ? PixelLayout::Rgba : PixelLayout::Rgb;
    const qint64 pixels = static_cast<qint64>(header.width) * header.height;
    RefuseBeyondMemoryLimit(source.Size() + pixels * (SamplesPerPixel(layout) + (header.format == 2 ? 4 : 0)),
                            "decoding");
    const QByteArray bytes = source.All();
    const WebPBitstreamFeatures features = FeaturesOf(bytes);
    PixelBuffer decoded(features.width, features.height, SamplesPerPixel(layout));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto size = static_cast<size_t>(bytes.size());
    const int stride = static_cast<int>(decoded.RowBytes());
    const std::uint8_t* done = alpha
                                   ? WebPDecodeRGBAInto(data, size, decoded.bytes.data(), decoded.bytes.size(), stride)
                                   : WebPDecodeRGBInto(data, size, decoded.bytes.data(), decoded.bytes.size(), stride);
    if (done == nullptr) {
        Refuse(picture_reason::kDamaged);
    }
    return std::make_unique<HeldRows>(std::move(decoded), layout, IccProfileOf(bytes));
}
