#include "pictures/orientation.h"
#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <algorithm>
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

    // Throws the error met in the picture's data: the file could not be read, or the data does not decode.
    [[noreturn]] void FailInData() const
    {
        if (input_.readError) {
            throw PictureError(*input_.readError);
        }
        Refuse(picture_reason::kDamaged);
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

    // The most bytes any one strip or tile takes in the file, which libtiff reads whole before decoding it.
    qint64 LargestChunkBytes() const
    {
        TIFF* tiff = tiff_.get();
        const bool tiled = TIFFIsTiled(tiff) != 0;
        const std::uint32_t count = tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
        std::uint64_t* lengths = nullptr;
        if (count == 0 || TIFFGetField(tiff, tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &lengths) == 0
            || lengths == nullptr) {
            return 0;
        }
        return static_cast<qint64>(*std::max_element(lengths, lengths + count));
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

// The rows of a TIFF picture's first page through libtiff's RGBA interface, which turns every kind of TIFF
// picture into RGBA: a band of whole strips or tiles at a time, so that the memory grows with the band, not with
// the picture. The rows come as they are stored; the picture is turned upright afterwards like every other kind.
class TiffRows : public StoredRows {
public:
    explicit TiffRows(const PictureSource& source) : reading_(source), size_(reading_.Size())
    {
        char words[1024] = {};
        if (TIFFRGBAImageBegin(&image_, reading_.Tiff(), 1, words) == 0) {
            throw PictureError(QString::fromLocal8Bit(words));
        }
        begun_ = true;
        image_.req_orientation = image_.orientation;
        layout_ = image_.alpha != 0 ? PixelLayout::Rgba : PixelLayout::Rgb;
        TIFF* tiff = reading_.Tiff();
        std::uint32_t bandRows = 0;
        if (TIFFIsTiled(tiff) != 0) {
            TIFFGetField(tiff, TIFFTAG_TILELENGTH, &bandRows);
            codedBytes_ = static_cast<qint64>(TIFFTileSize64(tiff));
        } else {
            TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &bandRows);
            codedBytes_ = static_cast<qint64>(TIFFStripSize64(tiff));
        }
        bandRows_ =
            static_cast<int>(std::clamp<std::uint32_t>(bandRows, 1, static_cast<std::uint32_t>(size_.height())));
        codedBytes_ += reading_.LargestChunkBytes();
        RefuseBeyondMemoryLimit(ReadingBytes(), "decoding");
    }
    ~TiffRows() override
    {
        if (begun_) {
            TIFFRGBAImageEnd(&image_);
        }
    }
    TiffRows(const TiffRows&) = delete;
    TiffRows& operator=(const TiffRows&) = delete;

    QSize Size() const override { return size_; }
    PixelLayout Layout() const override { return layout_; }
    QByteArray IccProfile() const override { return reading_.IccProfile(); }

    // A strip or tile as stored and decoded, and the band as RGBA.
    qint64 ReadingBytes() const override { return codedBytes_ + static_cast<qint64>(bandRows_) * size_.width() * 4; }

    void Pass(int first, int last, const RowTaker& take) override
    {
        const auto width = static_cast<std::size_t>(size_.width());
        std::vector<std::uint32_t> band(static_cast<std::size_t>(bandRows_) * width);
        std::vector<std::uint8_t> row(RowBytes(size_.width(), layout_));
        const std::size_t samples = layout_ == PixelLayout::Rgba ? 4 : 3;
        for (int top = first - first % bandRows_; top < last; top += bandRows_) {
            const int rows = std::min(bandRows_, size_.height() - top);
            image_.row_offset = top;
            image_.col_offset = 0;
            if (TIFFRGBAImageGet(&image_, band.data(), static_cast<std::uint32_t>(width),
                                 static_cast<std::uint32_t>(rows))
                == 0) {
                reading_.FailInData();
            }
            for (int r = std::max(0, first - top); r < rows && top + r < last; ++r) {
                const std::uint32_t* pixel = band.data() + static_cast<std::size_t>(r) * width;
                for (std::size_t x = 0; x < width; ++x, ++pixel) {
                    row[x * samples] = static_cast<std::uint8_t>(TIFFGetR(*pixel));
                    row[x * samples + 1] = static_cast<std::uint8_t>(TIFFGetG(*pixel));
                    row[x * samples + 2] = static_cast<std::uint8_t>(TIFFGetB(*pixel));
                    if (samples == 4) {
                        row[x * samples + 3] = static_cast<std::uint8_t>(TIFFGetA(*pixel));
                    }
                }
                take(top + r, row.data());
            }
        }
    }

private:
    TiffReading reading_;
    QSize size_;
    TIFFRGBAImage image_{};
    bool begun_ = false;
    PixelLayout layout_ = PixelLayout::Rgb;
    int bandRows_ = 1;
    qint64 codedBytes_ = 0;
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

std::unique_ptr<StoredRows> ReadTiff(const PictureSource& source)
{
    return std::make_unique<TiffRows>(source);
}
