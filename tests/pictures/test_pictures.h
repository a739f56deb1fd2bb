#pragma once

#include "pictures/picture_kind.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

// Pictures of every kind the library takes, made by the formats' own libraries and Debian's tools from
// one picture of four flat quadrants (the colours of QuadrantColour), into the folder given.
struct TestPicture {
    QString name;
    PictureKind kind;
    QByteArray bytes;
    bool lossy;
};

// The four-quadrant picture as an image.
QImage QuadrantImage(QSize size);

// One picture of each kind (a sequential and a progressive JPEG), of `size`, made in `folder`.
std::vector<TestPicture> MakeEveryKind(QSize size, const QString& folder);

// A picture of `size` that codes like a photo: shading under fine noise, so that its coded data is as long as a
// camera's and damage anywhere in it lands inside the picture's data.
QImage PhotoImage(QSize size);

// PhotoImage as a JPEG picture, sequential or progressive, 4:2:0, by Qt's JPEG writer.
QByteArray MakePhotoJpeg(QSize size, bool progressive = false);

// A GIF picture of the four quadrants whose rows are stored interlaced, in four passes, made at `path`.
QByteArray MakeInterlacedGif(QSize size, const QString& path);

// A JPEG picture with an EXIF block whose orientation is `orientation`, just after its JFIF header.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation);

// Writes a PNG picture of the four quadrants row by row, so that a picture far larger than memory
// should allow can be made; interlaced (Adam7) when asked.
void WriteLargePng(const QString& path, QSize size, bool interlaced);

// Writes a grey TIFF picture of the four quadrants (the grey levels of QuadrantColour(TestColour::Grey)) row by
// row, deflated in strips of libtiff's default size: a file of a few megabytes for a picture far larger.
void WriteLargeGreyTiff(const QString& path, QSize size);

// Runs `work` in a child process of its own and returns how far the child's peak resident memory rose above what
// it held as it began, in bytes. The child's failure (an exception, a signal) fails the test, with its reason.
long long PeakMemoryOf(const std::function<void()>& work);

// Whether `image` shows at its top left, top right, bottom left and bottom right the colours of the
// quadrants numbered in `quadrants` (0 top left, 1 top right, 2 bottom left, 3 bottom right).
::testing::AssertionResult ShowsQuadrantsAt(const QImage& image, const std::array<int, 4>& quadrants,
                                            int tolerance = 8);

// Damaged pictures, as a careful tester makes them.
// A PNG picture whose header says `size` pixels of 8-bit RGB and whose pixel data is `data`, compressed.
QByteArray PngOf(QSize size, const QByteArray& data);
// A copy of a PNG picture with one byte of its first pixel data chunk changed, which its checksum then denies.
QByteArray WithPixelByteChanged(QByteArray png);
// A GIF picture whose screen and only picture are `size` and whose coded data gives one pixel and ends.
QByteArray OnePixelGif(QSize size);
// A copy with 64 KiB in its middle set to zero.
QByteArray Zeroed(QByteArray bytes);
