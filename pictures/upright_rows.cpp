#include "pictures/upright_rows.h"

#include "pictures/picture_memory.h"

#include <algorithm>
#include <cstring>
#include <vector>

UprightRows::UprightRows(StoredRows& stored, int orientation)
    : stored_(stored),
      orientation_(orientation >= 2 && orientation <= 8 ? orientation : 1),
      size_(orientation_ >= 5 ? stored.Size().transposed() : stored.Size())
{
    if (orientation_ <= 2) {
        return;
    }
    const auto rowBytes = static_cast<qint64>(RowBytes(size_.width(), Layout()));
    RefuseBeyondMemoryLimit(stored.ReadingBytes() + rowBytes * size_.height(), "turning");
    bandRows_ = static_cast<int>(std::clamp<qint64>(kMaxBandBytes / rowBytes, 1, size_.height()));
}

qint64 UprightRows::HeldBytes() const
{
    return stored_.ReadingBytes() + static_cast<qint64>(RowBytes(size_.width(), Layout())) * std::max(bandRows_, 1);
}

void UprightRows::Pass(const std::function<void(const std::uint8_t*)>& take)
{
    if (bandRows_ == 0) {
        PassInOrder(take);
        return;
    }
    for (int top = 0; top < size_.height(); top += bandRows_) {
        PassBand(top, std::min(bandRows_, size_.height() - top), take);
    }
}

void UprightRows::PassInOrder(const std::function<void(const std::uint8_t*)>& take)
{
    if (orientation_ == 1) {
        stored_.Pass(0, size_.height(), [&take](int, const std::uint8_t* row) { take(row); });
        return;
    }
    const auto pixelBytes = static_cast<std::size_t>(SamplesPerPixel(Layout()));
    const auto width = static_cast<std::size_t>(size_.width());
    std::vector<std::uint8_t> mirrored(width * pixelBytes);
    stored_.Pass(0, size_.height(), [&](int, const std::uint8_t* row) {
        for (std::size_t x = 0; x < width; ++x) {
            std::memcpy(&mirrored[(width - 1 - x) * pixelBytes], row + x * pixelBytes, pixelBytes);
        }
        take(mirrored.data());
    });
}

// The band holds upright rows [top, top + rows). Orientations 3 and 4 take them from the stored rows in reverse,
// the bottom band first, so that the first pass reads the whole picture; 5 to 8 take them from stored columns,
// reading every stored row.
void UprightRows::PassBand(int top, int rows, const std::function<void(const std::uint8_t*)>& take)
{
    const auto pixelBytes = static_cast<std::size_t>(SamplesPerPixel(Layout()));
    const auto width = static_cast<std::size_t>(size_.width());
    const std::size_t rowBytes = width * pixelBytes;
    std::vector<std::uint8_t> band(rowBytes * static_cast<std::size_t>(rows));
    const int storedWidth = stored_.Size().width();
    const int storedHeight = stored_.Size().height();
    if (orientation_ <= 4) {
        const bool mirror = orientation_ == 3;
        stored_.Pass(storedHeight - top - rows, storedHeight - top, [&](int y, const std::uint8_t* row) {
            std::uint8_t* out = band.data() + rowBytes * static_cast<std::size_t>(storedHeight - 1 - y - top);
            if (!mirror) {
                std::memcpy(out, row, rowBytes);
                return;
            }
            for (std::size_t x = 0; x < width; ++x) {
                std::memcpy(out + (width - 1 - x) * pixelBytes, row + x * pixelBytes, pixelBytes);
            }
        });
    } else {
        // Upright row u is stored column u (5, 6) or the column as far from the right (7, 8); upright column x is
        // stored row x (5, 8) or the row as far from the bottom (6, 7).
        const bool fromLeft = orientation_ == 5 || orientation_ == 6;
        const bool fromTop = orientation_ == 5 || orientation_ == 8;
        stored_.Pass(0, storedHeight, [&](int y, const std::uint8_t* row) {
            const auto x = static_cast<std::size_t>(fromTop ? y : storedHeight - 1 - y);
            for (int u = 0; u < rows; ++u) {
                const int column = fromLeft ? top + u : storedWidth - 1 - top - u;
                std::memcpy(band.data() + rowBytes * static_cast<std::size_t>(u) + x * pixelBytes,
                            row + static_cast<std::size_t>(column) * pixelBytes, pixelBytes);
            }
        });
    }
    for (int u = 0; u < rows; ++u) {
        take(band.data() + rowBytes * static_cast<std::size_t>(u));
    }
}
