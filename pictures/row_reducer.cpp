#include "pictures/row_reducer.h"

#include <algorithm>

namespace {

// Which of `targetLength` equal parts the position `index` of `sourceLength` falls into.
int TargetIndex(int index, int sourceLength, int targetLength)
{
    return static_cast<int>(static_cast<std::int64_t>(index) * targetLength / sourceLength);
}

template <PixelLayout Layout>
void AddPixel(std::uint64_t* sums, const std::uint8_t* pixel)
{
    if constexpr (Layout == PixelLayout::Grey) {
        sums[0] += pixel[0];
        sums[1] += pixel[0];
        sums[2] += pixel[0];
    } else if constexpr (Layout == PixelLayout::Rgb) {
        sums[0] += pixel[0];
        sums[1] += pixel[1];
        sums[2] += pixel[2];
    } else if constexpr (Layout == PixelLayout::Rgba) {
        // Laid on white: what is transparent shows the page.
        const unsigned alpha = pixel[3];
        sums[0] += (pixel[0] * alpha + 255 * (255 - alpha)) / 255;
        sums[1] += (pixel[1] * alpha + 255 * (255 - alpha)) / 255;
        sums[2] += (pixel[2] * alpha + 255 * (255 - alpha)) / 255;
    } else if constexpr (Layout == PixelLayout::Cmyk) {
        // Each ink takes away from white, and black takes away from all three.
        const unsigned white = 255 - pixel[3];
        sums[0] += (255 - pixel[0]) * white / 255;
        sums[1] += (255 - pixel[1]) * white / 255;
        sums[2] += (255 - pixel[2]) * white / 255;
    } else {
        sums[0] += pixel[0] * pixel[3] / 255;
        sums[1] += pixel[1] * pixel[3] / 255;
        sums[2] += pixel[2] * pixel[3] / 255;
    }
}

template <PixelLayout Layout>
void SumRow(const std::uint8_t* row, const std::vector<int>& targetColumn, std::uint64_t* sums)
{
    const std::size_t width = targetColumn.size();
    for (std::size_t x = 0; x < width; ++x) {
        AddPixel<Layout>(sums + static_cast<std::size_t>(targetColumn[x]) * 3,
                         row + x * static_cast<std::size_t>(SamplesPerPixel(Layout)));
    }
}

}  // namespace

RowReducer::RowReducer(QSize source, QSize target, PixelLayout layout)
    : source_(source),
      target_(target),
      layout_(layout),
      targetColumn_(static_cast<std::size_t>(source.width())),
      columnSpan_(static_cast<std::size_t>(target.width()), 0),
      sums_(static_cast<std::size_t>(target.width()) * 3, 0),
      result_(target.width(), target.height(), 3)
{
    for (std::size_t x = 0; x < targetColumn_.size(); ++x) {
        targetColumn_[x] = TargetIndex(static_cast<int>(x), source.width(), target.width());
        ++columnSpan_[static_cast<std::size_t>(targetColumn_[x])];
    }
}

void RowReducer::AddRow(const std::uint8_t* row)
{
    switch (layout_) {
    case PixelLayout::Grey:
        SumRow<PixelLayout::Grey>(row, targetColumn_, sums_.data());
        break;
    case PixelLayout::Rgb:
        SumRow<PixelLayout::Rgb>(row, targetColumn_, sums_.data());
        break;
    case PixelLayout::Rgba:
        SumRow<PixelLayout::Rgba>(row, targetColumn_, sums_.data());
        break;
    case PixelLayout::Cmyk:
        SumRow<PixelLayout::Cmyk>(row, targetColumn_, sums_.data());
        break;
    case PixelLayout::AdobeCmyk:
        SumRow<PixelLayout::AdobeCmyk>(row, targetColumn_, sums_.data());
        break;
    }
    ++rowsSummed_;
    const int targetRow = TargetIndex(sourceRow_, source_.height(), target_.height());
    ++sourceRow_;
    if (sourceRow_ == source_.height() || TargetIndex(sourceRow_, source_.height(), target_.height()) != targetRow) {
        WriteTargetRow(targetRow);
    }
}

void RowReducer::WriteTargetRow(int targetRow)
{
    std::uint8_t* out = result_.Row(targetRow);
    for (std::size_t x = 0; x < columnSpan_.size(); ++x) {
        const std::uint64_t count = static_cast<std::uint64_t>(columnSpan_[x]) * rowsSummed_;
        for (std::size_t c = 0; c < 3; ++c) {
            const std::size_t i = x * 3 + c;
            out[i] = static_cast<std::uint8_t>((sums_[i] + count / 2) / count);
        }
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    rowsSummed_ = 0;
}
