#include "pictures/exif_orientation.h"
#include "pictures/orientation.h"
#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"
#include "pictures/row_reducer.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

namespace {

// libpng reports a fatal error through its error callback, which must not return: ours keeps the message
// and jumps back to the Guarded call that entered the library, which throws it. An error of our own met in
// a read or write callback is kept whole instead. Once the header is read (`inData`), libpng's errors are
// about the pixel data: a checksum that does not hold, data that does not inflate or runs out.
struct PngErrors {
    QString message;
    std::exception_ptr pending;
    bool inData = false;
};

[[noreturn]] void StopOnError(png_structp png, png_const_charp message)
{
    static_cast<PngErrors*>(png_get_error_ptr(png))->message = QString::fromLocal8Bit(message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Calls `step`, which may throw; a thrown error is kept and stops libpng. The jump is taken only once the
// step and its exception are gone, since a jump would skip their destructors.
template <typename Step>
void StopOnThrow(png_structp png, Step step)
{
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    try {
        step();
    } catch (...) {
        errors->pending = std::current_exception();
    }
    if (errors->pending) {
        png_longjmp(png, 1);
    }
}

template <typename Call>
auto PngGuarded(png_structp png, PngErrors& errors, Call call)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        if (errors.pending) {
            std::rethrow_exception(errors.pending);
        }
        throw PictureError(errors.inData ? QString::fromLatin1(picture_reason::kDamaged) : errors.message);
    }
    return call();
}

// libpng's reading objects, released on every way out.
struct ReadObjects {
    png_structp png = nullptr;
    png_infop info = nullptr;

    ReadObjects() = default;
    ~ReadObjects() { png_destroy_read_struct(&png, &info, nullptr); }
    ReadObjects(const ReadObjects&) = delete;
    ReadObjects& operator=(const ReadObjects&) = delete;
};

// A PNG picture read from a PictureSource from its start, its header read. Every chunk's checksum is
// checked, an ancillary chunk's too: a picture with one that does not hold is damaged.
class PngReading {
public:
    explicit PngReading(const PictureSource& source) : source_(source)
    {
        objects_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors_, StopOnError, IgnoreWarning);
        if (objects_.png != nullptr) {
            objects_.info = png_create_info_struct(objects_.png);
        }
        if (objects_.info == nullptr) {
            Refuse(picture_reason::kTooLarge);
        }
        png_set_read_fn(objects_.png, this, ReadBytes);
        png_set_crc_action(objects_.png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
        PngGuarded(objects_.png, errors_, [this] { png_read_info(objects_.png, objects_.info); });
        errors_.inData = true;
    }
    PngReading(const PngReading&) = delete;
    PngReading& operator=(const PngReading&) = delete;

    template <typename Call>
    auto Guarded(Call call)
    {
        return PngGuarded(objects_.png, errors_, call);
    }

    png_structp Png() const { return objects_.png; }
    png_infop Info() const { return objects_.info; }
    int Width() const { return static_cast<int>(png_get_image_width(objects_.png, objects_.info)); }
    int Height() const { return static_cast<int>(png_get_image_height(objects_.png, objects_.info)); }
    bool Interlaced() const { return png_get_interlace_type(objects_.png, objects_.info) != PNG_INTERLACE_NONE; }
    // How many bytes of the file the header took: the picture data follows.
    qint64 HeaderBytes() const { return next_; }

    int Orientation() const
    {
        png_uint_32 length = 0;
        png_bytep exif = nullptr;
        if (png_get_eXIf_1(objects_.png, objects_.info, &length, &exif) == 0 || exif == nullptr) {
            return 1;
        }
        const auto entry = FindExifOrientation(
            QByteArray::fromRawData(reinterpret_cast<const char*>(exif), static_cast<qsizetype>(length)));
        return entry ? ValidOrientation(entry->value) : 1;
    }

    QByteArray IccProfile() const
    {
        png_charp name = nullptr;
        int compression = 0;
        png_bytep profile = nullptr;
        png_uint_32 length = 0;
        if (png_get_iCCP(objects_.png, objects_.info, &name, &compression, &profile, &length) == 0) {
            return {};
        }
        return QByteArray(reinterpret_cast<const char*>(profile), static_cast<qsizetype>(length));
    }

    // Reads what follows the last row up to the image-end chunk, checking each chunk.
    void ReadEnd()
    {
        Guarded([this] { png_read_end(objects_.png, nullptr); });
    }

    // Asks libpng for 8-bit RGB rows, with alpha when the picture has transparency; returns the channels.
    int ExpandToRgb()
    {
        png_set_expand(objects_.png);
        png_set_strip_16(objects_.png);
        png_set_gray_to_rgb(objects_.png);
        Guarded([this] { png_read_update_info(objects_.png, objects_.info); });
        return png_get_channels(objects_.png, objects_.info);
    }

private:
    static void ReadBytes(png_structp png, png_bytep out, size_t length)
    {
        auto* reading = static_cast<PngReading*>(png_get_io_ptr(png));
        StopOnThrow(png, [reading, out, length] {
            const std::size_t got = reading->source_.ReadAt(reading->next_, out, length);
            reading->next_ += static_cast<qint64>(got);
            if (got < length) {
                Refuse(picture_reason::kCutShort);
            }
        });
    }

    const PictureSource& source_;
    qint64 next_ = 0;
    PngErrors errors_;
    ReadObjects objects_;
};

// Whether the last bytes hold the image-end chunk: a PNG picture cut short has none.
bool HasImageEnd(const PictureSource& source, qint64 headerBytes)
{
    constexpr qint64 kTailBytes = 4096;
    const qint64 from = std::max(headerBytes, source.Size() - kTailBytes);
    return source.BytesAt(from, kTailBytes).contains(QByteArray("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
}

// Reads every row of the picture into `row` as libpng gives it, and then what follows up to the image end.
// An interlaced picture read without libpng's interlace handling gives the rows of each of its seven passes
// in turn (passes without columns have no rows); `take` learns which pass each row came from.
template <typename Take>
void ReadEveryRow(PngReading& reading, std::vector<png_byte>& row, Take take)
{
    const auto width = static_cast<png_uint_32>(reading.Width());
    const auto height = static_cast<png_uint_32>(reading.Height());
    const int passes = reading.Interlaced() ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const png_uint_32 rows = !reading.Interlaced()             ? height
                                 : PNG_PASS_COLS(width, pass) == 0 ? 0
                                                                   : PNG_PASS_ROWS(height, pass);
        for (png_uint_32 y = 0; y < rows; ++y) {
            reading.Guarded([&reading, &row] { png_read_row(reading.Png(), row.data(), nullptr); });
            take(pass);
        }
    }
    reading.ReadEnd();
}

// libpng's writing objects, released on every way out, writing to a ByteOutput.
struct PngWriting {
    PngErrors errors;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ByteOutput& output;

    explicit PngWriting(ByteOutput& byteOutput) : output(byteOutput)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, StopOnError, IgnoreWarning);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
        if (info != nullptr) {
            png_set_write_fn(png, this, WriteBytes, nullptr);
        }
    }
    ~PngWriting() { png_destroy_write_struct(&png, &info); }
    PngWriting(const PngWriting&) = delete;
    PngWriting& operator=(const PngWriting&) = delete;

    static void WriteBytes(png_structp png, png_bytep data, size_t length)
    {
        StopOnThrow(png,
                    [png, data, length] { static_cast<PngWriting*>(png_get_io_ptr(png))->output.Write(data, length); });
    }
};

int PngColourType(int channels)
{
    switch (channels) {
    case 1:
        return PNG_COLOR_TYPE_GRAY;
    case 4:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    default:
        return PNG_COLOR_TYPE_RGB;
    }
}

}  // namespace

PictureInfo InspectPng(const PictureSource& source)
{
    PngReading reading(source);
    if (!HasImageEnd(source, reading.HeaderBytes())) {
        Refuse(picture_reason::kCutShort);
    }
    return PictureInfo{PictureKind::Png, QSize(reading.Width(), reading.Height()), reading.Orientation()};
}

PngRows::PngRows(const PictureSource& source) : source_(source)
{
    PngReading reading(source);
    const bool interlaced = reading.Interlaced();
    if (interlaced) {
        png_set_interlace_handling(reading.Png());
    }
    size_ = QSize(reading.Width(), reading.Height());
    layout_ = reading.ExpandToRgb() == 4 ? PixelLayout::Rgba : PixelLayout::Rgb;
    iccProfile_ = reading.IccProfile();
    if (!interlaced) {
        return;
    }
    RefuseBeyondMemoryLimit(static_cast<qint64>(RowBytes(size_.width(), layout_)) * size_.height(), "decoding");
    PixelBuffer pixels(size_.width(), size_.height(), SamplesPerPixel(layout_));
    std::vector<png_bytep> rows(static_cast<std::size_t>(pixels.height));
    for (int y = 0; y < pixels.height; ++y) {
        rows[static_cast<std::size_t>(y)] = pixels.Row(y);
    }
    reading.Guarded([&reading, &rows] { png_read_image(reading.Png(), rows.data()); });
    reading.ReadEnd();
    held_.emplace(std::move(pixels), layout_, iccProfile_);
}

qint64 PngRows::ReadingBytes() const
{
    // libpng keeps the row being read and the one before, which its filters refer to.
    return held_ ? held_->ReadingBytes() : 3 * static_cast<qint64>(RowBytes(size_.width(), layout_));
}

void PngRows::Pass(int first, int last, const RowTaker& take)
{
    if (held_) {
        held_->Pass(first, last, take);
        return;
    }
    PngReading reading(source_);
    reading.ExpandToRgb();
    std::vector<png_byte> row(png_get_rowbytes(reading.Png(), reading.Info()));
    int y = 0;
    ReadEveryRow(reading, row, [&](int) {
        if (y >= first && y < last) {
            take(y, row.data());
        }
        ++y;
    });
}

PixelBuffer ReducePng(const PictureSource& source, QSize target)
{
    PngReading reading(source);
    const bool interlaced = reading.Interlaced();
    // An interlaced picture delivers its rows in seven passes over the whole picture. Its last pass
    // alone, every odd row, serves when the target needs at most half the rows; a picture too small for
    // that is small enough to decode whole.
    if (interlaced && target.height() * 2 > reading.Height()) {
        PngRows whole(source);
        RowReducer reducer(whole.Size(), target, whole.Layout());
        whole.Pass(0, whole.Size().height(), [&reducer](int, const std::uint8_t* row) { reducer.AddRow(row); });
        return reducer.TakeResult();
    }
    const int channels = reading.ExpandToRgb();
    const PixelLayout layout = channels == 4 ? PixelLayout::Rgba : PixelLayout::Rgb;
    std::vector<png_byte> row(png_get_rowbytes(reading.Png(), reading.Info()));
    // Of an interlaced picture, the rows of the last of its seven passes: every odd row, whole.
    RowReducer reducer({reading.Width(), interlaced ? reading.Height() / 2 : reading.Height()}, target, layout);
    ReadEveryRow(reading, row, [&reducer, &row, interlaced](int pass) {
        if (!interlaced || pass == 6) {
            reducer.AddRow(row.data());
        }
    });
    return reducer.TakeResult();
}

QByteArray PngIccProfile(const PictureSource& source)
{
    return PngReading(source).IccProfile();
}

void CheckPngWhole(const PictureSource& source)
{
    PngReading reading(source);
    // The rows as stored, without any expansion: what matters is that every one of them is there.
    std::vector<png_byte> row(png_get_rowbytes(reading.Png(), reading.Info()));
    ReadEveryRow(reading, row, [](int) {});
}

void WritePng(UprightRows& picture, bool withoutAlpha, const QByteArray& iccProfile, ByteOutput& output)
{
    PngWriting writing(output);
    if (writing.info == nullptr) {
        Refuse(picture_reason::kTooLarge);
    }
    const bool dropAlpha = withoutAlpha && picture.Layout() == PixelLayout::Rgba;
    const QSize size = picture.Size();
    PngGuarded(writing.png, writing.errors, [&writing, &picture, &iccProfile, dropAlpha, size] {
        png_set_IHDR(writing.png, writing.info, static_cast<png_uint_32>(size.width()),
                     static_cast<png_uint_32>(size.height()), 8,
                     dropAlpha ? PNG_COLOR_TYPE_RGB : PngColourType(SamplesPerPixel(picture.Layout())),
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!iccProfile.isEmpty()) {
            png_set_iCCP(writing.png, writing.info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                         reinterpret_cast<png_const_bytep>(iccProfile.constData()),
                         static_cast<png_uint_32>(iccProfile.size()));
        }
        png_write_info(writing.png, writing.info);
    });
    std::vector<png_byte> rgb(dropAlpha ? RowBytes(size.width(), PixelLayout::Rgb) : 0);
    picture.Pass([&writing, &rgb, dropAlpha](const std::uint8_t* row) {
        if (dropAlpha) {
            for (std::size_t x = 0; x < rgb.size() / 3; ++x) {
                std::memcpy(&rgb[x * 3], row + x * 4, 3);
            }
            row = rgb.data();
        }
        PngGuarded(writing.png, writing.errors, [&writing, row] { png_write_row(writing.png, row); });
    });
    PngGuarded(writing.png, writing.errors, [&writing] { png_write_end(writing.png, writing.info); });
}
