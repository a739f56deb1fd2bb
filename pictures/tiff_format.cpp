#include "pictures/orientation.h"
#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tiffio.h>

namespace {

// libtiff reads the file through these, from a PictureSource, and reports its errors here.
struct TiffInput {
    const PictureSource* source = nullptr;
    qint64 position = 0;
    std::optional<PictureError> readError;
    QString message;
};

tmsize_t ReadBytes(thandle_t handle, void* out, tmsize_t length)
{
    auto* input = static_cast<TiffInput*>(handle);
    try {
        const std::size_t got = input->source->ReadAt(input->position, out, static_cast<std::size_t>(length));
        input->position += static_cast<qint64>(got);
        return static_cast<tmsize_t>(got);
    } catch (const PictureError& error) {
        input->readError = error;
        return -1;
    }
}

tmsize_t RefuseWriting(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence)
{
    auto* input = static_cast<TiffInput*>(handle);
    const qint64 base = whence == SEEK_CUR ? input->position : whence == SEEK_END ? input->source->Size() : 0;
    input->position = base + static_cast<qint64>(offset);
    return static_cast<toff_t>(input->position);
}

int Close(thandle_t)
{
    return 0;
}

toff_t FileSize(thandle_t handle)
{
    return static_cast<toff_t>(static_cast<TiffInput*>(handle)->source->Size());
}

int NoMapping(thandle_t, void**, toff_t*)
{
    return 0;
}

void NoUnmapping(thandle_t, void*, toff_t) {}

int KeepMessage(TIFF*, void* userData, const char*, const char* format, va_list arguments)
{
    char words[512] = {};
    std::vsnprintf(words, sizeof words, format, arguments);
    auto* input = static_cast<TiffInput*>(userData);
    if (input->message.isEmpty()) {
        input->message = QString::fromLocal8Bit(words);
    }
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// A TIFF file whose first directory has been read.
class TiffReading {
public:
    explicit TiffReading(const PictureSource& source)
    {
        input_.source = &source;
        const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepMessage, &input_);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, nullptr);
        tiff_.reset(TIFFClientOpenExt("picture", "rm", &input_, ReadBytes, RefuseWriting, Seek, Close, FileSize,
                                      NoMapping, NoUnmapping, options.get()));
        if (!tiff_) {
            Fail();
        }
    }

    TIFF* Tiff() const { return tiff_.get(); }

    [[noreturn]] void Fail() const
    {
        if (input_.readError) {
            throw PictureError(*input_.readError);
        }
        throw PictureError(input_.message.isEmpty() ? QString::fromLatin1(picture_reason::kDamaged) : input_.message);
    }

    QSize Size() const
    {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        TIFFGetField(tiff_.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff_.get(), TIFFTAG_IMAGELENGTH, &height);
        if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
            Refuse(picture_reason::kTooLarge);
        }
        return QSize(static_cast<int>(width), static_cast<int>(height));
    }

    int Orientation() const
    {
        std::uint16_t orientation = 1;
        TIFFGetFieldDefaulted(tiff_.get(), TIFFTAG_ORIENTATION, &orientation);
        return ValidOrientation(orientation);
    }

    // Whether every strip or tile of the picture lies within the file.
    bool DataWhole() const
    {
        TIFF* tiff = tiff_.get();
        const bool tiled = TIFFIsTiled(tiff) != 0;
        const std::uint32_t count = tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
        std::uint64_t* offsets = nullptr;
        std::uint64_t* lengths = nullptr;
        if (TIFFGetField(tiff, tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, &offsets) == 0
            || TIFFGetField(tiff, tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &lengths) == 0
            || offsets == nullptr || lengths == nullptr) {
            return false;
        }
        const auto size = static_cast<std::uint64_t>(input_.source->Size());
        for (std::uint32_t i = 0; i < count; ++i) {
            if (offsets[i] > size || lengths[i] > size - offsets[i]) {
                return false;
            }
        }
        return true;
    }

    QByteArray IccProfile() const
    {
        std::uint32_t length = 0;
        void* profile = nullptr;
        if (TIFFGetField(tiff_.get(), TIFFTAG_ICCPROFILE, &length, &profile) == 0 || profile == nullptr) {
            return {};
        }
        return QByteArray(static_cast<const char*>(profile), static_cast<qsizetype>(length));
    }

private:
    TiffInput input_;
    std::unique_ptr<TIFF, TiffClose> tiff_;
};

// Whether the first directory, which the header points to and which ends in the count of its entries
// and the entries, lies within the file: writers often put it after the picture data.
bool FirstDirectoryWithin(const PictureSource& source)
{
    std::array<unsigned char, 16> header{};
    source.ReadAt(0, header.data(), header.size());
    const bool bigEndian = header[0] == 'M';
    const bool big = header[2] == 43 || header[3] == 43;  // BigTIFF: 8-byte offsets
    if (source.Size() < (big ? 16 : 8)) {
        return false;
    }
    const auto number = [&header, bigEndian](std::size_t at, std::size_t length) {
        quint64 value = 0;
        for (std::size_t i = 0; i < length; ++i) {
            value = value << 8 | header[at + (bigEndian ? i : length - 1 - i)];
        }
        return value;
    };
    const quint64 directory = big ? number(8, 8) : number(4, 4);
    const auto countBytes = static_cast<qint64>(big ? 8 : 2);
    if (directory > static_cast<quint64>(source.Size() - countBytes)) {
        return false;
    }
    std::array<unsigned char, 8> count{};
    source.ReadAt(static_cast<qint64>(directory), count.data(), count.size());
    quint64 entries = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(countBytes); ++i) {
        entries = entries << 8 | count[bigEndian ? i : static_cast<std::size_t>(countBytes) - 1 - i];
    }
    const quint64 entryBytes = big ? 20 : 12;
    return entries <= (static_cast<quint64>(source.Size()) - directory - static_cast<quint64>(countBytes)) / entryBytes;
}

struct RgbaImageEnd {
    void operator()(TIFFRGBAImage* image) const { TIFFRGBAImageEnd(image); }
};

}  // namespace

PictureInfo InspectTiff(const PictureSource& source)
{
    if (!FirstDirectoryWithin(source)) {
        Refuse(picture_reason::kCutShort);
    }
    const TiffReading reading(source);
    const QSize size = reading.Size();
    if (!reading.DataWhole()) {
        Refuse(picture_reason::kCutShort);
    }
    return PictureInfo{PictureKind::Tiff, size, reading.Orientation()};
}

DecodedPicture DecodeTiff(const PictureSource& source)
{
    const TiffReading reading(source);
    const QSize size = reading.Size();
    DecodedPicture decoded{PixelBuffer(size.width(), size.height(), 4), reading.IccProfile()};
    char words[1024] = {};
    TIFFRGBAImage image{};
    if (TIFFRGBAImageBegin(&image, reading.Tiff(), 0, words) == 0) {
        throw PictureError(QString::fromLocal8Bit(words));
    }
    const std::unique_ptr<TIFFRGBAImage, RgbaImageEnd> held(&image);
    // The rows come as they are stored; the picture is turned upright afterwards like every other kind.
    image.req_orientation = image.orientation;
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()));
    if (TIFFRGBAImageGet(&image, raster.data(), static_cast<std::uint32_t>(size.width()),
                         static_cast<std::uint32_t>(size.height()))
        == 0) {
        reading.Fail();
    }
    std::uint8_t* out = decoded.pixels.bytes.data();
    for (const std::uint32_t pixel : raster) {
        *out++ = static_cast<std::uint8_t>(TIFFGetR(pixel));
        *out++ = static_cast<std::uint8_t>(TIFFGetG(pixel));
        *out++ = static_cast<std::uint8_t>(TIFFGetB(pixel));
        *out++ = static_cast<std::uint8_t>(TIFFGetA(pixel));
    }
    return decoded;
}
