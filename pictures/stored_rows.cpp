#include "pictures/stored_rows.h"

#include "pictures/picture_memory.h"

#include <cstring>

HeldRows::HeldRows(QSize size, PixelLayout layout, const std::uint8_t* first, std::ptrdiff_t stride,
                   std::shared_ptr<const void> owner, QByteArray iccProfile)
    : size_(size),
      layout_(layout),
      first_(first),
      stride_(stride),
      owner_(std::move(owner)),
      iccProfile_(std::move(iccProfile))
{}

HeldRows::HeldRows(PixelBuffer pixels, PixelLayout layout, QByteArray iccProfile)
    : size_(pixels.width, pixels.height),
      layout_(layout),
      stride_(static_cast<std::ptrdiff_t>(pixels.RowBytes())),
      iccProfile_(std::move(iccProfile))
{
    const auto held = std::make_shared<const PixelBuffer>(std::move(pixels));
    first_ = held->bytes.data();
    owner_ = held;
}

qint64 HeldRows::ReadingBytes() const
{
    return static_cast<qint64>(stride_) * size_.height();
}

void HeldRows::Pass(int first, int last, const RowTaker& take)
{
    for (int y = first; y < last; ++y) {
        take(y, first_ + stride_ * y);
    }
}

std::size_t RowBytes(int width, PixelLayout layout)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(SamplesPerPixel(layout));
}

PixelBuffer HoldWhole(StoredRows& stored)
{
    const QSize size = stored.Size();
    RefuseBeyondMemoryLimit(stored.ReadingBytes()
                                + static_cast<qint64>(RowBytes(size.width(), stored.Layout())) * size.height(),
                            "decoding");
    PixelBuffer pixels(size.width(), size.height(), SamplesPerPixel(stored.Layout()));
    stored.Pass(0, size.height(),
                [&pixels](int y, const std::uint8_t* row) { std::memcpy(pixels.Row(y), row, pixels.RowBytes()); });
    return pixels;
}

bool AllOpaque(StoredRows& stored)
{
    if (stored.Layout() != PixelLayout::Rgba) {
        return true;
    }
    bool opaque = true;
    const auto width = static_cast<std::size_t>(stored.Size().width());
    stored.Pass(0, stored.Size().height(), [&opaque, width](int, const std::uint8_t* row) {
        for (std::size_t x = 0; x < width && opaque; ++x) {
            opaque = row[x * 4 + 3] == 255;
        }
    });
    return opaque;
}
