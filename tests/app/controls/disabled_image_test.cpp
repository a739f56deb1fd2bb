#include "app/controls/disabled_image.h"

#include <QRgba64>

#include <gtest/gtest.h>

namespace {

TEST(MakeDisabledImage, DividesAlphaByThreeAndKeepsTheColours)
{
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(10, 20, 30, 255));
    source.setPixel(1, 0, qRgba(40, 50, 60, 100));
    QImage dest;
    MakeDisabledImage(source, dest);
    EXPECT_EQ(dest.pixel(0, 0), qRgba(10, 20, 30, 85));
    EXPECT_EQ(dest.pixel(1, 0), qRgba(40, 50, 60, 33));

    // Opaque pictures get an alpha channel first; premultiplied ones keep their colours.
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_Grayscale8, QImage::Format_ARGB32_Premultiplied}) {
        QImage opaque(1, 1, format);
        opaque.fill(QColor(60, 60, 60));
        MakeDisabledImage(opaque, dest);
        EXPECT_EQ(dest.pixel(0, 0), qRgba(60, 60, 60, 85)) << format;
    }
}

TEST(MakeDisabledImage, KeepsSixteenBitPicturesAtSixteenBits)
{
    QImage source(1, 1, QImage::Format_RGBA64);
    reinterpret_cast<QRgba64*>(source.scanLine(0))[0] = QRgba64::fromRgba64(0x1234, 0x5678, 0x9abc, 0xffff);
    QImage dest;
    MakeDisabledImage(source, dest);
    ASSERT_EQ(dest.format(), QImage::Format_RGBA64);
    EXPECT_EQ(reinterpret_cast<const QRgba64*>(dest.constScanLine(0))[0],
              QRgba64::fromRgba64(0x1234, 0x5678, 0x9abc, 0x5555));
}

TEST(MakeDisabledImage, LeavesPalettePicturesAloneAndRefusesEmptyOnes)
{
    QImage palette(2, 1, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 0, 0), qRgba(0, 0, 255, 128)});
    palette.fill(0);
    palette.setPixel(1, 0, 1);
    QImage dest;
    MakeDisabledImage(palette, dest);
    EXPECT_EQ(dest.format(), QImage::Format_Indexed8);
    EXPECT_EQ(dest, palette);
    EXPECT_EQ(dest.colorTable(), palette.colorTable());

    try {
        MakeDisabledImage(QImage(), dest);
        ADD_FAILURE() << "no error raised";
    } catch (const ImageHeaderError& error) {
        EXPECT_STREQ(error.what(), "This operation is not valid because the current image contains no valid header.");
    }
    EXPECT_TRUE(dest.isNull());
}

}  // namespace
