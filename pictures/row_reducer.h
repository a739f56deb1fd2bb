#pragma once

#include "pictures/pixel_buffer.h"

#include <QSize>

#include <cstdint>
#include <vector>

// How the samples of one pixel are laid out in the rows given to a RowReducer.
enum class PixelLayout {
    Grey,       // 1 sample
    Rgb,        // 3 samples
    Rgba,       // 4 samples, straight alpha: laid on white
    Cmyk,       // 4 samples, 0 = no ink
    AdobeCmyk,  // 4 samples, stored inverted as Adobe's programs write them: 255 = no ink
};

// The samples a pixel of `layout` takes.
constexpr int SamplesPerPixel(PixelLayout layout)
{
    return layout == PixelLayout::Grey ? 1 : layout == PixelLayout::Rgb ? 3 : 4;
}

// Reduces a picture that arrives row by row to a smaller RGB picture by averaging: every
// source pixel belongs to exactly one target pixel (source column x goes to target column
// x * targetWidth / sourceWidth, rows likewise), and each target pixel is the rounded mean
// of its source pixels. Only one target row of sums is held at a time, so the memory does
// not depend on the source height.
class RowReducer {
public:
    // source must be at least as wide and as high as target, and target at least 1 x 1.
    RowReducer(QSize source, QSize target, PixelLayout layout);

    // Adds the next source row: source.width() pixels in the layout given.
    void AddRow(const std::uint8_t* row);

    // The reduced picture, RGB; complete once every source row has been added.
    const PixelBuffer& Result() const { return result_; }
    PixelBuffer TakeResult() { return std::move(result_); }

private:
    void WriteTargetRow(int targetRow);

    QSize source_;
    QSize target_;
    PixelLayout layout_;
    std::vector<int> targetColumn_;          // for each source column
    std::vector<std::uint32_t> columnSpan_;  // source columns per target column
    std::vector<std::uint64_t> sums_;        // R, G, B per target column
    int sourceRow_ = 0;
    std::uint32_t rowsSummed_ = 0;
    PixelBuffer result_;
};
