#pragma once

// Pictures read row by row, for the preview and for the pictures a book holds turned or converted. Internal to
// the library.

#include "pictures/pixel_buffer.h"
#include "pictures/row_reducer.h"

#include <QByteArray>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// A picture read row by row as it is stored (before it is turned upright), 8 bits a sample, as often as the work
// on it needs: the preview and a conversion read it once, a turn once for each band of the upright picture.
class StoredRows {
public:
    // Takes stored row `y`: Size().width() pixels in Layout(), valid during the call.
    using RowTaker = std::function<void(int y, const std::uint8_t* row)>;

    virtual ~StoredRows() = default;

    virtual QSize Size() const = 0;
    virtual PixelLayout Layout() const = 0;
    // The ICC colour profile the picture carries; empty when none.
    virtual QByteArray IccProfile() const = 0;
    // The memory that reading the rows takes besides them: the decoder's own, or the whole picture when it is held
    // decoded.
    virtual qint64 ReadingBytes() const = 0;
    // Gives the rows from `first` up to `last` (not included) to `take`, in order; rows before `first` are read and
    // passed over where the decoding needs them. A pass that reaches the last row reads the picture's data to its
    // end. Throws PictureError, and what `take` throws.
    virtual void Pass(int first, int last, const RowTaker& take) = 0;
};

// A picture decoded whole and held in memory, by the library that decoded it or in a PixelBuffer.
class HeldRows : public StoredRows {
public:
    // Rows `stride` bytes apart from `first`, in memory that `owner` keeps.
    HeldRows(QSize size, PixelLayout layout, const std::uint8_t* first, std::ptrdiff_t stride,
             std::shared_ptr<const void> owner, QByteArray iccProfile);
    HeldRows(PixelBuffer pixels, PixelLayout layout, QByteArray iccProfile);

    QSize Size() const override { return size_; }
    PixelLayout Layout() const override { return layout_; }
    QByteArray IccProfile() const override { return iccProfile_; }
    qint64 ReadingBytes() const override;
    void Pass(int first, int last, const RowTaker& take) override;

private:
    QSize size_;
    PixelLayout layout_;
    const std::uint8_t* first_;
    std::ptrdiff_t stride_;
    std::shared_ptr<const void> owner_;
    QByteArray iccProfile_;
};

// The bytes a row of `width` pixels of `layout` takes.
std::size_t RowBytes(int width, PixelLayout layout);

// The whole picture held in one PixelBuffer, for work that needs it whole; refused beforehand, with the memory it
// would take, when that and its reading would pass kMaxPictureWorkBytes.
PixelBuffer HoldWhole(StoredRows& stored);

// Whether every pixel of the picture is opaque: always so without an alpha channel, else read from its rows.
bool AllOpaque(StoredRows& stored);
