#include "tests/pictures/test_pictures.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QtEndian>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

namespace {

int QuadrantAt(QSize size, int x, int y)
{
    return (y >= size.height() / 2 ? 2 : 0) + (x >= size.width() / 2 ? 1 : 0);
}

// Runs one of Debian's picture tools; a tool that fails fails the test.
QByteArray MadeBy(const QString& program, const QStringList& arguments, const QString& output)
{
    QString errors;
    const int status = RunProgram(program, arguments, nullptr, &errors);
    if (status != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << errors.toStdString();
    }
    return ReadTestFile(output);
}

QByteArray MakeGif(QSize size, const QString& path, bool interlaced = false)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
    if (gif == nullptr) {
        throw std::runtime_error("cannot write the GIF picture");
    }
    std::array<GifColorType, 4> colours{};
    for (int q = 0; q < 4; ++q) {
        const QRgb rgb = QuadrantColour(TestColour::Rgb, q);
        colours[static_cast<std::size_t>(q)] = {static_cast<GifByteType>(qRed(rgb)),
                                                static_cast<GifByteType>(qGreen(rgb)),
                                                static_cast<GifByteType>(qBlue(rgb))};
    }
    ColorMapObject* map = GifMakeMapObject(4, colours.data());
    EGifPutScreenDesc(gif, size.width(), size.height(), 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, size.width(), size.height(), interlaced, nullptr);
    // Interlaced rows are stored in four passes: from row 0 every eighth, from 4 every eighth, from 2 every
    // fourth, from 1 every second.
    const std::vector<std::array<int, 2>> passes = interlaced
                                                       ? std::vector<std::array<int, 2>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                                                       : std::vector<std::array<int, 2>>{{0, 1}};
    std::vector<GifPixelType> row(static_cast<std::size_t>(size.width()));
    for (const auto& [start, step] : passes) {
        for (int y = start; y < size.height(); y += step) {
            for (int x = 0; x < size.width(); ++x) {
                row[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(QuadrantAt(size, x, y));
            }
            EGifPutLine(gif, row.data(), size.width());
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return ReadTestFile(path);
}

}  // namespace

QByteArray MakeInterlacedGif(QSize size, const QString& path)
{
    return MakeGif(size, path, true);
}

QImage QuadrantImage(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, QuadrantColour(TestColour::Rgb, QuadrantAt(size, x, y)));
        }
    }
    return image;
}

std::vector<TestPicture> MakeEveryKind(QSize size, const QString& folder)
{
    QDir().mkpath(folder);
    const QImage image = QuadrantImage(size);
    const QString png = folder + "/source.png";
    const QString ppm = folder + "/source.ppm";
    const QString bmp = folder + "/source.bmp";
    image.save(png, "PNG");
    image.save(ppm, "PPM");
    image.save(bmp, "BMP");
    const auto out = [&folder](const char* name) { return folder + "/" + name; };
    return {
        {"JPEG", PictureKind::Jpeg, MakeTestJpeg(size), true},
        {"progressive JPEG", PictureKind::Jpeg, MakeTestJpeg(size, {TestColour::Rgb, true}), true},
        {"PNG", PictureKind::Png, ReadTestFile(png), false},
        {"GIF", PictureKind::Gif, MakeGif(size, out("made.gif")), false},
        {"HEIC", PictureKind::Heif, MadeBy("heif-enc", {"-q", "90", "-o", out("made.heic"), png}, out("made.heic")),
         true},
        {"AVIF", PictureKind::Avif, MadeBy("avifenc", {"-s", "10", png, out("made.avif")}, out("made.avif")), true},
        {"lossy WebP", PictureKind::WebpLossy,
         MadeBy("cwebp", {"-quiet", "-q", "90", png, "-o", out("lossy.webp")}, out("lossy.webp")), true},
        {"lossless WebP", PictureKind::WebpLossless,
         MadeBy("cwebp", {"-quiet", "-lossless", png, "-o", out("lossless.webp")}, out("lossless.webp")), false},
        {"TIFF", PictureKind::Tiff, MadeBy("ppm2tiff", {ppm, out("made.tif")}, out("made.tif")), false},
        {"BMP", PictureKind::Bmp, ReadTestFile(bmp), false},
    };
}

QImage PhotoImage(QSize size)
{
    QImage image(size, QImage::Format_RGB888);
    QRandomGenerator noise(7);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < size.width() * 3; ++x) {
            row[x] = static_cast<uchar>((x / 3 + y + x % 3 * 40) % 200 + static_cast<int>(noise.bounded(48)));
        }
    }
    return image;
}

QByteArray MakePhotoJpeg(QSize size, bool progressive)
{
    const QImage image = PhotoImage(size);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image)) {
        throw std::runtime_error("cannot write the JPEG picture");
    }
    return buffer.data();
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation)
{
    // A big-endian TIFF structure with one directory of one entry: tag 0x0112, type SHORT, count 1.
    const QByteArray tiff = QByteArray("MM\0*\0\0\0\x08", 8) + QByteArray("\0\x01", 2)
                            + QByteArray("\x01\x12\0\x03\0\0\0\x01\0", 9) + static_cast<char>(orientation)
                            + QByteArray("\0\0", 2) + QByteArray(4, '\0');
    const QByteArray data = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(data.size()) + 2;
    const QByteArray segment =
        QByteArray("\xFF\xE1", 2) + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + data;
    // After the start-of-image marker and the JFIF segment that follows it.
    const int jfifLength = static_cast<unsigned char>(jpeg[4]) << 8 | static_cast<unsigned char>(jpeg[5]);
    QByteArray result = jpeg;
    return result.insert(4 + jfifLength, segment);
}

void WriteLargePng(const QString& path, QSize size, bool interlaced)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.toLocal8Bit().constData(), "wb"), std::fclose);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file.get());
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size.width()), static_cast<png_uint_32>(size.height()), 8,
                 PNG_COLOR_TYPE_RGB, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::array<std::vector<png_byte>, 2> halves;
    for (int half = 0; half < 2; ++half) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb rgb = QuadrantColour(TestColour::Rgb, QuadrantAt(size, x, half * size.height()));
            halves[static_cast<std::size_t>(half)].insert(halves[static_cast<std::size_t>(half)].end(),
                                                          {static_cast<png_byte>(qRed(rgb)),
                                                           static_cast<png_byte>(qGreen(rgb)),
                                                           static_cast<png_byte>(qBlue(rgb))});
        }
    }
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < size.height(); ++y) {
            png_write_row(png, halves[y >= size.height() / 2 ? 1 : 0].data());
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

void WriteLargeGreyTiff(const QString& path, QSize size)
{
    std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(TIFFOpen(QFile::encodeName(path).constData(), "w"), TIFFClose);
    if (!tiff) {
        throw std::runtime_error("cannot write the TIFF picture");
    }
    TIFFSetField(tiff.get(), TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(size.width()));
    TIFFSetField(tiff.get(), TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(size.height()));
    TIFFSetField(tiff.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff.get(), TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tiff.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff.get(), 0));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(size.width()));
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            row[static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(qRed(QuadrantColour(TestColour::Grey, QuadrantAt(size, x, y))));
        }
        if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<std::uint32_t>(y), 0) < 0) {
            throw std::runtime_error("cannot write the TIFF picture");
        }
    }
}

long long PeakMemoryOf(const std::function<void()>& work)
{
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) {
        ADD_FAILURE() << "no pipe";
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        QByteArray report;
        try {
            const long long before = ResidentBytes();
            work();
            report = QByteArray::number(PeakResidentBytes() - before);
        } catch (const std::exception& error) {
            report = QByteArray("failed: ") + error.what();
        }
        const auto written = ::write(ends[1], report.constData(), static_cast<std::size_t>(report.size()));
        ::_exit(written == report.size() ? 0 : 1);
    }
    ::close(ends[1]);
    QByteArray report;
    char block[256];
    for (ssize_t got; (got = ::read(ends[0], block, sizeof block)) > 0;) {
        report.append(block, got);
    }
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    bool number = false;
    const long long rise = report.toLongLong(&number);
    if (!number || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "the work failed: "
                      << (report.isEmpty() ? QByteArray("ended by a signal") : report).constData();
        return -1;
    }
    return rise;
}

::testing::AssertionResult ShowsQuadrantsAt(const QImage& image, const std::array<int, 4>& quadrants, int tolerance)
{
    const int w = image.width();
    const int h = image.height();
    const int xs[] = {w / 4, w * 3 / 4};
    const int ys[] = {h / 4, h * 3 / 4};
    for (int corner = 0; corner < 4; ++corner) {
        auto result =
            PixelNear(image, xs[corner % 2], ys[corner / 2],
                      QuadrantColour(TestColour::Rgb, quadrants[static_cast<std::size_t>(corner)]), tolerance);
        if (!result) {
            return result << " in corner " << corner;
        }
    }
    return ::testing::AssertionSuccess();
}

namespace {

// A PNG chunk: the length of its data, its type, its data and the checksum of type and data.
QByteArray PngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(static_cast<quint32>(data.size()), chunk.data());
    chunk += QByteArray(type, 4) + data;
    const auto crc = static_cast<quint32>(
        crc32(0, reinterpret_cast<const Bytef*>(chunk.constData()) + 4, static_cast<uInt>(chunk.size() - 4)));
    QByteArray checksum(4, '\0');
    qToBigEndian(crc, checksum.data());
    return chunk + checksum;
}

}  // namespace

// A PNG picture whose header says `size` pixels of 8-bit RGB and whose pixel data is `data`, compressed.
QByteArray PngOf(QSize size, const QByteArray& data)
{
    QByteArray header(13, '\0');
    qToBigEndian(static_cast<quint32>(size.width()), header.data());
    qToBigEndian(static_cast<quint32>(size.height()), header.data() + 4);
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", qCompress(data).mid(4))
           + PngChunk("IEND", {});
}

// A copy of a PNG picture with one byte of its first pixel data chunk changed, which its checksum then denies.
QByteArray WithPixelByteChanged(QByteArray png)
{
    const qsizetype type = png.indexOf("IDAT");
    const qsizetype length = qFromBigEndian<quint32>(png.constData() + type - 4);
    png[type + 4 + length / 2] = static_cast<char>(png[type + 4 + length / 2] ^ 0x5A);
    return png;
}

// A GIF picture whose screen and only picture are `size` and whose coded data gives one pixel and ends.
QByteArray OnePixelGif(QSize size)
{
    QByteArray sizeBytes(4, '\0');
    qToLittleEndian(static_cast<quint16>(size.width()), sizeBytes.data());
    qToLittleEndian(static_cast<quint16>(size.height()), sizeBytes.data() + 2);
    // Two colours; codes of 3 bits from a minimum of 2: clear (4), the pixel (0), end (5), low bits first.
    return QByteArray("GIF89a") + sizeBytes + QByteArray("\x80\0\0", 3) + QByteArray("\0\0\0\xFF\xFF\xFF", 6) + ","
           + QByteArray(4, '\0') + sizeBytes + QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

// A copy with 64 KiB in its middle set to zero.
QByteArray Zeroed(QByteArray bytes)
{
    return bytes.replace(bytes.size() / 2 - 32 * 1024, 64 * 1024, QByteArray(64 * 1024, '\0'));
}
