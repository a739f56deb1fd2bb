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
    const PixelBuffer& image = reducer.Result();
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    // Grey comes out as three equal samples: one of them stands for each pixel.
    EXPECT_EQ(image.Row(0)[0], 35);  // 211 / 6 = 35.17
    EXPECT_EQ(image.Row(0)[3], 88);  // 351 / 4 = 87.75
    EXPECT_EQ(image.Row(1)[0], 2);   // 7 / 3 = 2.33
    EXPECT_EQ(image.Row(1)[3], 8);   // 15 / 2 = 7.5
}

TEST(RowReducerTest, InksBecomeRgbInBothCmykConventions)
{
    // Pure cyan ink, and red made of magenta and yellow, half darkened by black.
    const std::uint8_t plain[] = {255, 0, 0, 0, 0, 255, 255, 128};
    const std::uint8_t adobe[] = {0, 255, 255, 255, 255, 0, 0, 127};
    for (const auto& [layout, row] : {std::pair{PixelLayout::Cmyk, plain}, std::pair{PixelLayout::AdobeCmyk, adobe}}) {
        RowReducer reducer({2, 1}, {2, 1}, layout);
        reducer.AddRow(row);
        const std::uint8_t* rgb = reducer.Result().Row(0);
        EXPECT_EQ((std::array<int, 6>{rgb[0], rgb[1], rgb[2], rgb[3], rgb[4], rgb[5]}),
                  (std::array<int, 6>{0, 255, 255, 127, 0, 0}));
    }
}

}  // namespace
