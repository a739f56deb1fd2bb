#include "pictures/row_reducer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

TEST(RowReducerTest, EachTargetPixelIsTheRoundedMeanOfTheSourcePixelsItCovers)
{
    // 5 x 3 grey to 2 x 2: columns 0-2 go to 0 and 3-4 to 1; rows 0-1 go to 0 and row 2 to 1.
    const std::uint8_t rows[3][5] = {
        {10, 20, 30, 100, 200},
        {40, 50, 61, 0, 51},
        {1, 2, 4, 7, 8},
    };
    RowReducer reducer({5, 3}, {2, 2}, PixelLayout::Grey);
    for (const auto& row : rows) {
        reducer.AddRow(row);
    }
    const QImage image = reducer.Image();
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(35, 35, 35));  // 211 / 6 = 35.17
    EXPECT_EQ(image.pixel(1, 0), qRgb(88, 88, 88));  // 351 / 4 = 87.75
    EXPECT_EQ(image.pixel(0, 1), qRgb(2, 2, 2));     // 7 / 3 = 2.33
    EXPECT_EQ(image.pixel(1, 1), qRgb(8, 8, 8));     // 15 / 2 = 7.5
}

TEST(RowReducerTest, InksBecomeRgbInBothCmykConventions)
{
    // Pure cyan ink, and red made of magenta and yellow, half darkened by black.
    const std::uint8_t plain[] = {255, 0, 0, 0, 0, 255, 255, 128};
    const std::uint8_t adobe[] = {0, 255, 255, 255, 255, 0, 0, 127};
    for (const auto& [layout, row] : {std::pair{PixelLayout::Cmyk, plain}, std::pair{PixelLayout::AdobeCmyk, adobe}}) {
        RowReducer reducer({2, 1}, {2, 1}, layout);
        reducer.AddRow(row);
        EXPECT_EQ(reducer.Image().pixel(0, 0), qRgb(0, 255, 255));
        EXPECT_EQ(reducer.Image().pixel(1, 0), qRgb(127, 0, 0));
    }
}

}  // namespace
