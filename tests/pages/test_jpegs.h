#pragma once

#include <QByteArray>
#include <QRgb>
#include <QSize>

// JPEG pictures that the tests make themselves with libjpeg's compressor.

enum class TestColour { Rgb, Grey, Cmyk, Ycck };

struct TestJpegOptions {
    TestColour colour = TestColour::Rgb;
    bool progressive = false;
};

// A picture of four flat quadrants: 0 top left, 1 top right, 2 bottom left, 3 bottom right.
QByteArray MakeTestJpeg(QSize size, const TestJpegOptions& options = {});

// The RGB colour that a quadrant of MakeTestJpeg is meant to decode to. The CMYK and YCCK
// pictures are stored inverted, as Adobe's programs write them, and their fourth quadrant
// is made of all three inks off and half black, which is mid grey.
QRgb QuadrantColour(TestColour colour, int quadrant);

// A copy of a JPEG picture whose frame header claims another size; the picture data stays
// as it was, so the decoder runs out of data for a larger size.
QByteArray WithFrameSize(QByteArray jpeg, QSize size);

// A copy of a progressive JPEG picture with its first scan, header and data, repeated `times`
// more times before the end: a whole picture of many scans that stays small. The first scan
// gives the DC coefficients, which each repeat sets again.
QByteArray WithExtraScans(const QByteArray& jpeg, int times);
