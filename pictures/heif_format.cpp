#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <memory>

#include <libheif/heif.h>

namespace {

// libheif reads the file through these, from a PictureSource.
struct HeifInput {
    const PictureSource* source = nullptr;
    qint64 position = 0;
    std::optional<PictureError> readError;
};

int64_t Position(void* input)
{
    return static_cast<HeifInput*>(input)->position;
}

int ReadBytes(void* out, size_t length, void* userData)
{
    auto* input = static_cast<HeifInput*>(userData);
    try {
        const std::size_t got = input->source->ReadAt(input->position, out, length);
        input->position += static_cast<qint64>(got);
        return got == length ? 0 : 1;
    } catch (const PictureError& error) {
        input->readError = error;
        return 1;
    }
}

int Seek(int64_t position, void* input)
{
    static_cast<HeifInput*>(input)->position = position;
    return 0;
}

heif_reader_grow_status WaitForSize(int64_t size, void* input)
{
    return size <= static_cast<HeifInput*>(input)->source->Size() ? heif_reader_grow_status_size_reached
                                                                  : heif_reader_grow_status_size_beyond_eof;
}

constexpr heif_reader kReader = {1, Position, ReadBytes, Seek, WaitForSize};

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(const heif_image* image) const { heif_image_release(image); }
};

// A HEIF file whose structure has been read, and its primary picture.
class HeifReading {
public:
    explicit HeifReading(const PictureSource& source) : context_(heif_context_alloc())
    {
        input_.source = &source;
        Check(heif_context_read_from_reader(context_.get(), &kReader, &input_, nullptr));
        heif_image_handle* handle = nullptr;
        Check(heif_context_get_primary_image_handle(context_.get(), &handle));
        primary_.reset(handle);
    }

    heif_image_handle* Primary() const { return primary_.get(); }

    // Throws libheif's error: the file could not be read, or libheif's words for what is wrong.
    void Check(const heif_error& error) const
    {
        if (input_.readError) {
            throw PictureError(*input_.readError);
        }
        if (error.code != heif_error_Ok) {
            throw PictureError(QString::fromUtf8(error.message));
        }
    }

private:
    HeifInput input_;
    std::unique_ptr<heif_context, ContextFree> context_;
    std::unique_ptr<heif_image_handle, HandleRelease> primary_;
};

QByteArray IccProfileOf(const heif_image_handle* handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_rICC && type != heif_color_profile_type_prof) {
        return {};
    }
    QByteArray profile(static_cast<qsizetype>(heif_image_handle_get_raw_color_profile_size(handle)), '\0');
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok) {
        return {};
    }
    return profile;
}

}  // namespace

PictureInfo InspectHeif(const PictureSource& source)
{
    if (!TopLevelBoxesWhole(source)) {
        Refuse(picture_reason::kCutShort);
    }
    const HeifReading reading(source);
    // The sizes libheif gives are those of the picture as it is shown: the turns the file asks for are
    // applied when it is decoded.
    return PictureInfo{
        PictureKind::Heif,
        QSize(heif_image_handle_get_width(reading.Primary()), heif_image_handle_get_height(reading.Primary())), 1};
}

std::unique_ptr<StoredRows> ReadHeif(const PictureSource& source)
{
    const HeifReading reading(source);
    const heif_image_handle* primary = reading.Primary();
    const QSize size(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary));
    const bool alpha = heif_image_handle_has_alpha_channel(primary) != 0;
    const PixelLayout layout = alpha ? PixelLayout::Rgba : PixelLayout::Rgb;
    // libheif reads the coded picture into memory and decodes it into planes of its own, two bytes a sample
    // beyond 8 bits, while the decoder keeps its frame, and then interleaves the planes into RGB: all of them
    // are held at once.
    const qint64 sampleBytes = heif_image_handle_get_luma_bits_per_pixel(primary) > 8 ? 2 : 1;
    const qint64 pixels = static_cast<qint64>(size.width()) * size.height();
    RefuseBeyondMemoryLimit(source.Size() + pixels * (SamplesPerPixel(layout) + 2 * (alpha ? 4 : 3) * sampleBytes),
                            "decoding");
    heif_image* image = nullptr;
    reading.Check(heif_decode_image(primary, &image, heif_colorspace_RGB,
                                    alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr));
    const std::shared_ptr<const heif_image> held(image, ImageRelease());
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (plane == nullptr || heif_image_get_width(image, heif_channel_interleaved) != size.width()
        || heif_image_get_height(image, heif_channel_interleaved) != size.height()) {
        Refuse(picture_reason::kDamaged);
    }
    return std::make_unique<HeldRows>(size, layout, plane, stride, held, IccProfileOf(primary));
}
