#include "pictures/picture_error.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"
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

    // Throws giflib's error: the file ran out, the picture's data ran out or does not decode, or giflib's own
    // words for what is wrong.
    [[noreturn]] void Fail(int error) const
    {
        if (readError_) {
            throw PictureError(*readError_);
        }
        if (error == D_GIF_ERR_READ_FAILED) {
            Refuse(picture_reason::kCutShort);
        }
        if (error == D_GIF_ERR_EOF_TOO_SOON || error == D_GIF_ERR_IMAGE_DEFECT) {
            Refuse(picture_reason::kDamaged);
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

// The rows of an interlaced picture come in four passes: from row 0 every eighth, from row 4 every eighth,
// from row 2 every fourth, from row 1 every second.
constexpr int kPassStarts[] = {0, 4, 2, 1};
constexpr int kPassSteps[] = {8, 8, 4, 2};

// Reads the records up to the first picture's descriptor; returns the colour index that the picture's graphic
// control extension makes transparent, or -1.
int ReadToFirstPicture(const GifReading& reading)
{
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
    return transparent;
}

// Lays the first picture's rows on a white screen of the GIF's size, row by row into a RowReducer. Every row
// of the picture is decoded, also those that lie off the screen, so that its data is read whole.
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

    // The screen reduced to `target`. An interlaced picture gives its odd rows last, in order: those alone
    // serve when the target needs at most half the screen's rows, as for an interlaced PNG picture; a picture
    // too small for that is held to put its rows in order.
    PixelBuffer Reduce(QSize target)
    {
        const GifFileType* gif = reading_.Gif();
        const QSize screen(gif->SWidth, gif->SHeight);
        if (!gif->Image.Interlace) {
            RowReducer reducer(screen, target, PixelLayout::Rgb);
            LayRows(reducer, 0, 1, [this] { return &ReadLine(); });
            return reducer.TakeResult();
        }
        if (target.height() * 2 <= screen.height()) {
            // The screen rows that meet the picture's odd rows: those of the other parity than its top row.
            const int first = (gif->Image.Top + 1) % 2;
            RowReducer reducer({screen.width(), (screen.height() - first + 1) / 2}, target, PixelLayout::Rgb);
            for (int pass = 0; pass < 3; ++pass) {
                for (int row = kPassStarts[pass]; row < gif->Image.Height; row += kPassSteps[pass]) {
                    ReadLine();
                }
            }
            LayRows(reducer, first, 2, [this] { return &ReadLine(); });
            return reducer.TakeResult();
        }
        const std::vector<std::vector<GifPixelType>> rows = ReadInterlacedRows();
        RowReducer reducer(screen, target, PixelLayout::Rgb);
        std::size_t next = 0;
        LayRows(reducer, 0, 1, [&rows, &next] { return &rows[next++]; });
        return reducer.TakeResult();
    }

private:
    // Lays every `step`th screen row from `first` into `reducer`: white where the picture is not, and where it
    // is, the picture's next row, which `nextRow` gives. The picture's rows that lie below the screen are read
    // all the same.
    template <typename NextRow>
    void LayRows(RowReducer& reducer, int first, int step, NextRow nextRow)
    {
        const GifFileType* gif = reading_.Gif();
        const GifImageDesc& frame = gif->Image;
        int y = first;
        for (; y < gif->SHeight; y += step) {
            std::fill(rgb_.begin(), rgb_.end(), 255);
            if (y >= frame.Top && y - frame.Top < frame.Height) {
                Paint(*nextRow());
            }
            reducer.AddRow(rgb_.data());
        }
        for (; y - frame.Top < frame.Height; y += step) {
            if (y >= frame.Top) {
                nextRow();
            }
        }
    }

    const std::vector<GifPixelType>& ReadLine()
    {
        reading_.Check(DGifGetLine(reading_.Gif(), indices_.data(), static_cast<int>(indices_.size())));
        return indices_;
    }

    // Every row of an interlaced picture, gathered in order.
    std::vector<std::vector<GifPixelType>> ReadInterlacedRows()
    {
        const GifImageDesc& frame = reading_.Gif()->Image;
        RefuseBeyondMemoryLimit(static_cast<qint64>(frame.Width) * frame.Height, "reading");
        std::vector<std::vector<GifPixelType>> rows(static_cast<std::size_t>(frame.Height));
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = kPassStarts[pass]; row < frame.Height; row += kPassSteps[pass]) {
                rows[static_cast<std::size_t>(row)] = ReadLine();
            }
        }
        return rows;
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
    const int transparent = ReadToFirstPicture(reading);
    return GifCanvas(reading, transparent).Reduce(target);
}

void CheckGifWhole(const PictureSource& source)
{
    const GifReading reading(source);
    ReadToFirstPicture(reading);
    const GifImageDesc& frame = reading.Gif()->Image;
    std::vector<GifPixelType> line(static_cast<std::size_t>(std::max(0, frame.Width)));
    for (int row = 0; row < frame.Height; ++row) {
        reading.Check(DGifGetLine(reading.Gif(), line.data(), static_cast<int>(line.size())));
    }
}
