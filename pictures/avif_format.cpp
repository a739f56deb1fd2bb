#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <memory>

#include <avif/avif.h>

namespace {

// libavif reads the file through this, from a PictureSource; what it is given stays valid until its next
// read.
struct AvifInput {
    avifIO io{};
    const PictureSource* source = nullptr;
    QByteArray block;
    std::optional<PictureError> readError;
};

avifResult ReadBytes(avifIO* io, uint32_t, uint64_t offset, size_t size, avifROData* out)
{
    auto* input = static_cast<AvifInput*>(io->data);
    if (offset > static_cast<quint64>(input->source->Size())) {
        return AVIF_RESULT_IO_ERROR;
    }
    try {
        input->block = input->source->BytesAt(static_cast<qint64>(offset), static_cast<qint64>(size));
    } catch (const PictureError& error) {
        input->readError = error;
        return AVIF_RESULT_IO_ERROR;
    }
    out->data = reinterpret_cast<const std::uint8_t*>(input->block.constData());
    out->size = static_cast<size_t>(input->block.size());
    return AVIF_RESULT_OK;
}

struct DecoderDestroy {
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};

// An AVIF file whose structure has been read.
class AvifReading {
public:
    explicit AvifReading(const PictureSource& source) : decoder_(avifDecoderCreate())
    {
        if (!decoder_) {
            Refuse(picture_reason::kTooLarge);
        }
        input_.source = &source;
        input_.io.read = ReadBytes;
        input_.io.sizeHint = static_cast<uint64_t>(source.Size());
        input_.io.data = &input_;
        decoder_->ignoreExif = AVIF_TRUE;
        decoder_->ignoreXMP = AVIF_TRUE;
        avifDecoderSetIO(decoder_.get(), &input_.io);
        Check(avifDecoderParse(decoder_.get()));
    }

    avifDecoder* Decoder() const { return decoder_.get(); }

    // Throws libavif's error: the file could not be read, it ends too soon, or libavif's words.
    void Check(avifResult result) const
    {
        if (input_.readError) {
            throw PictureError(*input_.readError);
        }
        if (result == AVIF_RESULT_TRUNCATED_DATA) {
            Refuse(picture_reason::kCutShort);
        }
        if (result != AVIF_RESULT_OK) {
            throw PictureError(QString::fromUtf8(avifResultToString(result)));
        }
    }

private:
    AvifInput input_;
    std::unique_ptr<avifDecoder, DecoderDestroy> decoder_;
};

// The EXIF orientation that the file's turn (irot, a quarter turn anticlockwise per step) and mirror
// (imir: 0 top to bottom, 1 left to right), applied in that order, amount to.
int OrientationOf(const avifImage& image)
{
    const int turn = (image.transformFlags & AVIF_TRANSFORM_IROT) != 0 ? image.irot.angle % 4 : 0;
    const int mirror = (image.transformFlags & AVIF_TRANSFORM_IMIR) != 0 ? image.imir.mode % 2 + 1 : 0;
    // By quarter turns anticlockwise (0 to 3), then by no mirror, top to bottom, left to right.
    constexpr int kOrientations[4][3] = {{1, 4, 2}, {8, 5, 7}, {3, 2, 4}, {6, 7, 5}};
    return kOrientations[turn][mirror];
}

}  // namespace

PictureInfo InspectAvif(const PictureSource& source)
{
    if (!TopLevelBoxesWhole(source)) {
        Refuse(picture_reason::kCutShort);
    }
    const AvifReading reading(source);
    const avifImage& image = *reading.Decoder()->image;
    return PictureInfo{PictureKind::Avif, QSize(static_cast<int>(image.width), static_cast<int>(image.height)),
                       OrientationOf(image)};
}

std::unique_ptr<StoredRows> ReadAvif(const PictureSource& source)
{
    const AvifReading reading(source);
    avifDecoder* decoder = reading.Decoder();
    const QSize size(static_cast<int>(decoder->image->width), static_cast<int>(decoder->image->height));
    const PixelLayout layout = decoder->alphaPresent != AVIF_FALSE ? PixelLayout::Rgba : PixelLayout::Rgb;
    // libavif reads the coded picture into memory, and the codec decodes it into planes of its own, two bytes a
    // sample beyond 8 bits, and keeps its frame while they are turned into RGB: all of them are held at once.
    const qint64 sampleBytes = decoder->image->depth > 8 ? 2 : 1;
    const qint64 pixels = static_cast<qint64>(size.width()) * size.height();
    RefuseBeyondMemoryLimit(
        source.Size() + pixels * (SamplesPerPixel(layout) + 2 * (layout == PixelLayout::Rgba ? 4 : 3) * sampleBytes),
        "decoding");
    PixelBuffer rgbPixels(size.width(), size.height(), SamplesPerPixel(layout));
    reading.Check(avifDecoderNextImage(decoder));
    const avifImage* image = decoder->image;
    if (static_cast<int>(image->width) != size.width() || static_cast<int>(image->height) != size.height()) {
        Refuse(picture_reason::kDamaged);
    }
    avifRGBImage rgb{};
    avifRGBImageSetDefaults(&rgb, image);
    rgb.depth = 8;
    rgb.format = layout == PixelLayout::Rgba ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    rgb.pixels = rgbPixels.bytes.data();
    rgb.rowBytes = static_cast<uint32_t>(rgbPixels.RowBytes());
    reading.Check(avifImageYUVToRGB(image, &rgb));
    QByteArray iccProfile(reinterpret_cast<const char*>(image->icc.data), static_cast<qsizetype>(image->icc.size));
    return std::make_unique<HeldRows>(std::move(rgbPixels), layout, std::move(iccProfile));
}
