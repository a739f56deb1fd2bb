#include "tests/pages/test_jpegs.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr std::array<QRgb, 4> kColours = {qRgb(200, 40, 40), qRgb(40, 180, 60), qRgb(50, 70, 200), qRgb(230, 220, 60)};
constexpr std::array<int, 4> kGreys = {40, 100, 160, 220};

// The colours above are within 0 to 255, so each fits a sample.
JSAMPLE Sample(int value)
{
    return static_cast<JSAMPLE>(value);
}

int QuadrantAt(QSize size, int x, int y)
{
    return (y >= size.height() / 2 ? 2 : 0) + (x >= size.width() / 2 ? 1 : 0);
}

// The samples stored for one pixel of a quadrant.
void StoreSamples(TestColour colour, int quadrant, JSAMPLE* out)
{
    const QRgb rgb = kColours[static_cast<std::size_t>(quadrant)];
    switch (colour) {
    case TestColour::Rgb:
        out[0] = Sample(qRed(rgb));
        out[1] = Sample(qGreen(rgb));
        out[2] = Sample(qBlue(rgb));
        return;
    case TestColour::Grey:
        out[0] = Sample(kGreys[static_cast<std::size_t>(quadrant)]);
        return;
    case TestColour::Cmyk:
    case TestColour::Ycck:
        if (quadrant == 3) {
            out[0] = out[1] = out[2] = 255;
            out[3] = 128;
        } else {
            out[0] = Sample(qRed(rgb));
            out[1] = Sample(qGreen(rgb));
            out[2] = Sample(qBlue(rgb));
            out[3] = 255;
        }
        return;
    }
}

}  // namespace

QRgb QuadrantColour(TestColour colour, int quadrant)
{
    switch (colour) {
    case TestColour::Grey:
        return qRgb(kGreys[static_cast<std::size_t>(quadrant)], kGreys[static_cast<std::size_t>(quadrant)],
                    kGreys[static_cast<std::size_t>(quadrant)]);
    case TestColour::Cmyk:
    case TestColour::Ycck:
        return quadrant == 3 ? qRgb(128, 128, 128) : kColours[static_cast<std::size_t>(quadrant)];
    case TestColour::Rgb:
        break;
    }
    return kColours[static_cast<std::size_t>(quadrant)];
}

QByteArray MakeTestJpeg(QSize size, const TestJpegOptions& options)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    jpeg_mem_dest(&info, &output, &outputSize);

    info.image_width = static_cast<JDIMENSION>(size.width());
    info.image_height = static_cast<JDIMENSION>(size.height());
    const bool grey = options.colour == TestColour::Grey;
    const bool inks = options.colour == TestColour::Cmyk || options.colour == TestColour::Ycck;
    info.input_components = grey ? 1 : inks ? 4 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : inks ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (options.colour == TestColour::Ycck) {
        jpeg_set_colorspace(&info, JCS_YCCK);
    }
    jpeg_set_quality(&info, 95, TRUE);
    if (options.progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(info.input_components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < size.width(); ++x) {
            StoreSamples(options.colour, QuadrantAt(size, x, static_cast<int>(info.next_scanline)),
                         &row[static_cast<std::size_t>(x) * static_cast<std::size_t>(info.input_components)]);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray jpeg(reinterpret_cast<const char*>(output), static_cast<qsizetype>(outputSize));
    std::free(output);
    return jpeg;
}

QByteArray WithFrameSize(QByteArray jpeg, QSize size)
{
    // The frame header: FF Cn, length (2 bytes), precision (1), height (2), width (2).
    for (qsizetype i = 0; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2) {
            jpeg[i + 5] = static_cast<char>(size.height() >> 8);
            jpeg[i + 6] = static_cast<char>(size.height() & 0xFF);
            jpeg[i + 7] = static_cast<char>(size.width() >> 8);
            jpeg[i + 8] = static_cast<char>(size.width() & 0xFF);
            return jpeg;
        }
    }
    throw std::invalid_argument("no frame header in the JPEG picture");
}

QByteArray WithExtraScans(const QByteArray& jpeg, int times)
{
    // Before the first scan header (FF DA) the markers are the header's; inside scan data a 0xFF
    // byte is followed by 0x00 (or a restart marker, which libjpeg writes only when asked), so the
    // scan ends at the next 0xFF byte followed by anything else.
    const qsizetype start = jpeg.indexOf("\xFF\xDA");
    if (start < 0 || !jpeg.endsWith("\xFF\xD9")) {
        throw std::invalid_argument("no scan in the JPEG picture");
    }
    qsizetype end = start + 2;
    while ((end = jpeg.indexOf('\xFF', end)) >= 0 && jpeg[end + 1] == '\0') {
        end += 2;
    }
    const QByteArray scan = jpeg.mid(start, end - start);
    return jpeg.chopped(2) + scan.repeated(times) + "\xFF\xD9";
}
