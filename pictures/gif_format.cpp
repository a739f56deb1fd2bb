#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/row_reducer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace {

// A GIF picture read from a PictureSource from its start through giflib, closed on every way out.
class GifReading {
public:
    explicit GifReading(const PictureSource& source) : source_(source)
    {
        int error = 0;
        gif_ = DGifOpen(this, ReadBytes, &error);
        if (gif_ == nullptr) {
            Fail(error);
        }
    }
    ~GifReading() { DGifCloseFile(gif_, nullptr); }
    GifReading(const GifReading&) = delete;
    GifReading& operator=(const GifReading&) = delete;

    GifFileType* Gif() const { return gif_; }

    // Throws giflib's error: the data ran out, or giflib's own words for what is wrong.
    [[noreturn]] void Fail(int error) const
    {
        if (readError_) {
            throw PictureError(*readError_);
        }
        if (error == D_GIF_ERR_READ_FAILED) {
            Refuse(picture_reason::kCutShort);
        }
        const char* words = GifErrorString(error);
        throw PictureError(words != nullptr ? QString::fromLatin1(words)
                                            : QString::fromLatin1(picture_reason::kDamaged));
    }

    // Calls giflib; a failure is thrown.
    void Check(int result) const
    {
        if (result != GIF_OK) {
            Fail(gif_->Error);
        }
    }

private:
    static int ReadBytes(GifFileType* gif, GifByteType* out, int length)
    {
        auto* reading = static_cast<GifReading*>(gif->UserData);
        try {
            const std::size_t got = reading->source_.ReadAt(reading->next_, out, static_cast<std::size_t>(length));
            reading->next_ += static_cast<qint64>(got);
            return static_cast<int>(got);
        } catch (const PictureError& error) {
            reading->readError_ = error;
            return 0;
        }
    }

    const PictureSource& source_;
    qint64 next_ = 0;
    std::optional<PictureError> readError_;
    GifFileType* gif_ = nullptr;
};

// Passes over the rest of an extension.
void SkipExtension(const GifReading& reading)
{
    int code = 0;
    GifByteType* block = nullptr;
    reading.Check(DGifGetExtension(reading.Gif(), &code, &block));
    while (block != nullptr) {
        reading.Check(DGifGetExtensionNext(reading.Gif(), &block));
    }
}

// Passes over a picture's compressed data without decoding it.
void SkipPictureData(const GifReading& reading)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    reading.Check(DGifGetCode(reading.Gif(), &codeSize, &block));
    while (block != nullptr) {
        reading.Check(DGifGetCodeNext(reading.Gif(), &block));
    }
}

// The colour index that the first picture's graphic control extension makes transparent, or -1.
int ReadTransparentIndex(const GifReading& reading, int transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    reading.Check(DGifGetExtension(reading.Gif(), &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock control{};
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
            transparent = control.TransparentColor;
        }
    }
    while (block != nullptr) {
        reading.Check(DGifGetExtensionNext(reading.Gif(), &block));
    }
    return transparent;
}

// Lays the first picture's rows on a white screen of the GIF's size, row by row into `reducer`.
class GifCanvas {
public:
    GifCanvas(const GifReading& reading, int transparent) : reading_(reading), transparent_(transparent)
    {
        const GifFileType* gif = reading.Gif();
        const GifImageDesc& frame = gif->Image;
        colours_ = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
        indices_.resize(static_cast<std::size_t>(std::max(0, frame.Width)));
        rgb_.resize(static_cast<std::size_t>(gif->SWidth) * 3);
    }

    void Reduce(RowReducer& reducer)
    {
        const GifFileType* gif = reading_.Gif();
        const GifImageDesc& frame = gif->Image;
        std::vector<std::vector<GifPixelType>> interlacedRows;
        if (frame.Interlace) {
            interlacedRows = ReadInterlacedRows();
        }
        int frameRow = 0;
        for (int y = 0; y < gif->SHeight; ++y) {
            std::fill(rgb_.begin(), rgb_.end(), 255);
            if (y == frame.Top + frameRow && frameRow < frame.Height) {
                Paint(NextRow(interlacedRows, frameRow));
                ++frameRow;
            }
            reducer.AddRow(rgb_.data());
        }
    }

private:
    // An interlaced picture gives its rows in four passes: they are gathered in order first.
    std::vector<std::vector<GifPixelType>> ReadInterlacedRows()
    {
        const GifImageDesc& frame = reading_.Gif()->Image;
        if (static_cast<long long>(frame.Width) * frame.Height > kMaxInterlacedPixels) {
            Refuse(picture_reason::kTooLarge);
        }
        std::vector<std::vector<GifPixelType>> rows(static_cast<std::size_t>(frame.Height));
        constexpr int kStarts[] = {0, 4, 2, 1};
        constexpr int kSteps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = kStarts[pass]; row < frame.Height; row += kSteps[pass]) {
                auto& indices = rows[static_cast<std::size_t>(row)];
                indices.resize(static_cast<std::size_t>(frame.Width));
                reading_.Check(DGifGetLine(reading_.Gif(), indices.data(), frame.Width));
            }
        }
        return rows;
    }

    const std::vector<GifPixelType>& NextRow(const std::vector<std::vector<GifPixelType>>& interlacedRows, int row)
    {
        if (!interlacedRows.empty()) {
            return interlacedRows[static_cast<std::size_t>(row)];
        }
        reading_.Check(DGifGetLine(reading_.Gif(), indices_.data(), static_cast<int>(indices_.size())));
        return indices_;
    }

    void Paint(const std::vector<GifPixelType>& indices)
    {
        const GifFileType* gif = reading_.Gif();
        const int left = gif->Image.Left;
        for (int x = std::max(0, left); x < std::min(gif->SWidth, left + gif->Image.Width); ++x) {
            const int index = indices[static_cast<std::size_t>(x - left)];
            if (index == transparent_ || colours_ == nullptr || index >= colours_->ColorCount) {
                continue;
            }
            const GifColorType& colour = colours_->Colors[index];
            rgb_[static_cast<std::size_t>(x) * 3] = colour.Red;
            rgb_[static_cast<std::size_t>(x) * 3 + 1] = colour.Green;
            rgb_[static_cast<std::size_t>(x) * 3 + 2] = colour.Blue;
        }
    }

    // An interlaced GIF of more pixels than this is not previewed: its rows must be held.
    static constexpr long long kMaxInterlacedPixels = 48LL * 1024 * 1024;

    const GifReading& reading_;
    int transparent_;
    const ColorMapObject* colours_ = nullptr;
    std::vector<GifPixelType> indices_;
    std::vector<std::uint8_t> rgb_;
};

}  // namespace

PictureInfo InspectGif(const PictureSource& source)
{
    const GifReading reading(source);
    int pictures = 0;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        reading.Check(DGifGetRecordType(reading.Gif(), &record));
        if (record == TERMINATE_RECORD_TYPE) {
            break;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) {
            reading.Check(DGifGetImageDesc(reading.Gif()));
            SkipPictureData(reading);
            ++pictures;
        } else if (record == EXTENSION_RECORD_TYPE) {
            SkipExtension(reading);
        }
    }
    if (pictures == 0) {
        Refuse(picture_reason::kDamaged);
    }
    return PictureInfo{PictureKind::Gif, QSize(reading.Gif()->SWidth, reading.Gif()->SHeight), 1};
}

PixelBuffer ReduceGif(const PictureSource& source, QSize target)
{
    const GifReading reading(source);
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        reading.Check(DGifGetRecordType(reading.Gif(), &record));
        if (record == TERMINATE_RECORD_TYPE) {
            Refuse(picture_reason::kDamaged);
        }
        if (record == EXTENSION_RECORD_TYPE) {
            transparent = ReadTransparentIndex(reading, transparent);
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            break;
        }
    }
    reading.Check(DGifGetImageDesc(reading.Gif()));
    RowReducer reducer({reading.Gif()->SWidth, reading.Gif()->SHeight}, target, PixelLayout::Rgb);
    GifCanvas(reading, transparent).Reduce(reducer);
    return reducer.TakeResult();
}
