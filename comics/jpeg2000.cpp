#include "comics/jpeg2000.h"

#include "pictures/picture_error.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The box that begins every JP2 file, and the markers that begin a bare codestream (SOC, then SIZ).
constexpr QByteArrayView kJp2Signature("\x00\x00\x00\x0CjP  \r\n\x87\n", 12);
constexpr QByteArrayView kCodestreamStart("\xFF\x4F\xFF\x51", 4);

// The picture's bytes as openjpeg reads them: a position in memory.
struct MemorySource {
    const QByteArray& bytes;
    OPJ_OFF_T at = 0;

    OPJ_OFF_T Size() const { return static_cast<OPJ_OFF_T>(bytes.size()); }
};

OPJ_SIZE_T ReadFromMemory(void* buffer, OPJ_SIZE_T length, void* user)
{
    MemorySource& source = *static_cast<MemorySource*>(user);
    const auto left = static_cast<OPJ_SIZE_T>(source.Size() - source.at);
    if (left == 0) {
        return static_cast<OPJ_SIZE_T>(-1);  // openjpeg's sign of the end
    }
    const OPJ_SIZE_T count = std::min(length, left);
    std::memcpy(buffer, source.bytes.constData() + source.at, count);
    source.at += static_cast<OPJ_OFF_T>(count);
    return count;
}

OPJ_OFF_T SkipInMemory(OPJ_OFF_T count, void* user)
{
    MemorySource& source = *static_cast<MemorySource*>(user);
    const OPJ_OFF_T target = std::clamp<OPJ_OFF_T>(source.at + count, 0, source.Size());
    if (target == source.at && count != 0) {
        return -1;
    }
    const OPJ_OFF_T skipped = target - source.at;
    source.at = target;
    return skipped;
}

OPJ_BOOL SeekInMemory(OPJ_OFF_T position, void* user)
{
    MemorySource& source = *static_cast<MemorySource*>(user);
    if (position < 0 || position > source.Size()) {
        return OPJ_FALSE;
    }
    source.at = position;
    return OPJ_TRUE;
}

[[noreturn]] void Refuse(const char* reason)
{
    throw PictureError(QString::fromLatin1(reason));
}

void KeepError(const char* message, void* user)
{
    *static_cast<QString*>(user) = QString::fromUtf8(message).trimmed();
}

// One decoding with openjpeg, its objects released on every way out.
class Decoding {
public:
    explicit Decoding(const QByteArray& bytes)
        : source_{bytes},
          stream_(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE), opj_stream_destroy),
          codec_(nullptr, opj_destroy_codec),
          image_(nullptr, opj_image_destroy)
    {
        OPJ_CODEC_FORMAT format = OPJ_CODEC_UNKNOWN;
        if (bytes.startsWith(kJp2Signature)) {
            format = OPJ_CODEC_JP2;
        } else if (bytes.startsWith(kCodestreamStart)) {
            format = OPJ_CODEC_J2K;
        } else {
            Refuse(picture_reason::kNotAPicture);
        }
        if (!stream_) {
            throw std::bad_alloc();
        }
        opj_stream_set_user_data(stream_.get(), &source_, nullptr);
        opj_stream_set_user_data_length(stream_.get(), static_cast<OPJ_UINT64>(bytes.size()));
        opj_stream_set_read_function(stream_.get(), ReadFromMemory);
        opj_stream_set_skip_function(stream_.get(), SkipInMemory);
        opj_stream_set_seek_function(stream_.get(), SeekInMemory);

        codec_.reset(opj_create_decompress(format));
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        opj_image_t* image = nullptr;
        const bool ready = codec_ && opj_set_error_handler(codec_.get(), KeepError, &error_)
                           && opj_setup_decoder(codec_.get(), &parameters)
                           && opj_read_header(stream_.get(), codec_.get(), &image);
        image_.reset(image);
        if (!ready || image_->numcomps == 0) {
            Fail();
        }
    }

    const opj_image_t& Image() const { return *image_; }

    QSize Size() const
    {
        return {static_cast<int>(image_->x1 - image_->x0), static_cast<int>(image_->y1 - image_->y0)};
    }

    qint64 Samples() const { return qint64(Size().width()) * Size().height() * image_->numcomps; }

    bool Lossless() const
    {
        opj_codestream_info_v2_t* info = opj_get_cstr_info(codec_.get());
        const bool reversible = info != nullptr && info->m_default_tile_info.tccp_info != nullptr
                                && info->m_default_tile_info.tccp_info[0].qmfbid == 1;
        opj_destroy_cstr_info(&info);
        return reversible;
    }

    void Decode()
    {
        if (!opj_decode(codec_.get(), stream_.get(), image_.get())
            || !opj_end_decompress(codec_.get(), stream_.get())) {
            Fail();
        }
    }

private:
    [[noreturn]] void Fail() const
    {
        throw PictureError(error_.isEmpty() ? QString::fromLatin1(picture_reason::kDamaged)
                                            : QStringLiteral("JPEG 2000: %1").arg(error_));
    }

    QString error_;
    MemorySource source_;
    std::unique_ptr<opj_stream_t, decltype(&opj_stream_destroy)> stream_;
    std::unique_ptr<opj_codec_t, decltype(&opj_destroy_codec)> codec_;
    std::unique_ptr<opj_image_t, decltype(&opj_image_destroy)> image_;
};

// A sample scaled to 8 bits.
std::uint8_t EightBits(OPJ_INT32 value, const opj_image_comp_t& component)
{
    const int precision = static_cast<int>(std::clamp<OPJ_UINT32>(component.prec, 1, 31));
    const qint64 top = (qint64(1) << precision) - 1;
    const qint64 level =
        std::clamp<qint64>(qint64(value) + (component.sgnd ? qint64(1) << (precision - 1) : 0), 0, top);
    return static_cast<std::uint8_t>(precision >= 8 ? level >> (precision - 8) : level * 255 / top);
}

// Where each of the output's channels comes from: a component, for grey with alpha the grey one three times.
std::vector<int> ComponentOfChannel(const opj_image_t& image)
{
    switch (image.numcomps) {
    case 1:
        return {0};
    case 2:
        return {0, 0, 0, 1};
    case 3:
        if (image.color_space == OPJ_CLRSPC_SYCC || image.color_space == OPJ_CLRSPC_EYCC) {
            throw PictureError(QStringLiteral("a JPEG 2000 picture of YCC colours, which this program does not take"));
        }
        return {0, 1, 2};
    default:
        if (image.numcomps == 4 && image.comps[3].alpha != 0 && image.color_space != OPJ_CLRSPC_CMYK) {
            return {0, 1, 2, 3};
        }
        throw PictureError(QStringLiteral("a JPEG 2000 picture of %1 colour components, which this program does not "
                                          "take")
                               .arg(image.numcomps));
    }
}

}  // namespace

Jpeg2000Facts ReadJpeg2000Facts(const QByteArray& bytes)
{
    const Decoding decoding(bytes);
    return {decoding.Size(), decoding.Samples(), decoding.Lossless()};
}

DecodedJpeg2000 DecodeJpeg2000(const QByteArray& bytes, qint64 maxSamples)
{
    Decoding decoding(bytes);
    const QSize size = decoding.Size();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.isEmpty()) {
        Refuse(picture_reason::kDamaged);
    }
    if (pixels > kMaxWholePixels || decoding.Samples() > maxSamples) {
        Refuse(picture_reason::kTooLarge);
    }
    const std::vector<int> sources = ComponentOfChannel(decoding.Image());
    decoding.Decode();
    const opj_image_t& image = decoding.Image();
    for (OPJ_UINT32 c = 0; c < image.numcomps; ++c) {
        if (image.comps[c].w != static_cast<OPJ_UINT32>(size.width())
            || image.comps[c].h != static_cast<OPJ_UINT32>(size.height()) || image.comps[c].data == nullptr) {
            throw PictureError(QStringLiteral("a JPEG 2000 picture whose colours are of lower resolution than its "
                                              "brightness, which this program does not take"));
        }
    }
    DecodedJpeg2000 decoded{
        PixelBuffer(size.width(), size.height(), static_cast<int>(sources.size())), {}, decoding.Lossless()};
    const std::size_t count = static_cast<std::size_t>(pixels);
    for (std::size_t channel = 0; channel < sources.size(); ++channel) {
        const opj_image_comp_t& component = image.comps[sources[channel]];
        for (std::size_t i = 0; i < count; ++i) {
            decoded.pixels.bytes[i * sources.size() + channel] = EightBits(component.data[i], component);
        }
    }
    if (image.icc_profile_buf != nullptr && image.icc_profile_len > 0) {
        decoded.iccProfile = QByteArray(reinterpret_cast<const char*>(image.icc_profile_buf),
                                        static_cast<qsizetype>(image.icc_profile_len));
    }
    return decoded;
}
