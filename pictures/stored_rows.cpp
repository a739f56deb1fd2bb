#include "pictures/stored_rows.h"

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

void LayOnWhite(const std::uint8_t* rgba, std::size_t width, std::uint8_t* rgb)
{
    for (std::size_t i = 0; i < width; ++i) {
        const unsigned alpha = rgba[i * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            rgb[i * 3 + c] = static_cast<std::uint8_t>((rgba[i * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
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
