#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/screen_page_pixels.h"
#include "pictures/screen_pages.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTransform>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

const QSize kPaperwhite(1236, 1648);

struct MemoryOutput : ByteOutput {
    QByteArray bytes;
    void Write(const void* data, std::size_t length) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(length));
    }
};

// What libjpeg reads in a JPEG picture's header.
struct JpegFacts {
    int components = 0;
    bool progressive = true;
    QByteArray iccProfile;
};

JpegFacts ReadJpegFacts(const QByteArray& bytes)
{
    struct Errors {
        jpeg_error_mgr base;
        std::jmp_buf jump;
    } errors{};
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = [](j_common_ptr common) { std::longjmp(reinterpret_cast<Errors*>(common->err)->jump, 1); };
    JpegFacts facts;
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (setjmp(errors.jump) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
        jpeg_read_header(&info, TRUE);
        facts = {info.num_components, info.progressive_mode != 0, {}};
        if (jpeg_read_icc_profile(&info, &profile, &length)) {
            facts.iccProfile = QByteArray(reinterpret_cast<const char*>(profile), static_cast<qsizetype>(length));
            std::free(profile);
        }
    } else {
        ADD_FAILURE() << "not a JPEG picture";
    }
    jpeg_destroy_decompress(&info);
    return facts;
}

// A JPEG picture carrying a made-up ICC profile (a header alone) for pictures of `colourSpace` ("RGB ", "CMYK").
QByteArray WithIccProfile(const QByteArray& jpeg, const QByteArray& colourSpace)
{
    const QByteArray profile =
        QByteArray(16, '\0') + colourSpace + QByteArray(16, '\0') + "acsp" + QByteArray(88, '\0');
    const QByteArray data = QByteArray("ICC_PROFILE\0\x01\x01", 14) + profile;
    const auto length = static_cast<int>(data.size()) + 2;
    return QByteArray(jpeg).insert(2, QByteArray("\xFF\xE2", 2) + static_cast<char>(length >> 8)
                                          + static_cast<char>(length & 0xFF) + data);
}

PageOptions ScreenOptions(QSize screen, bool grey = false)
{
    PageOptions options;
    options.screen = screen;
    options.grey = grey;
    return options;
}

// The pages as MakeScreenPages writes them, each checked to have the size it says.
std::vector<QByteArray> Pages(const QByteArray& picture, const PageOptions& options)
{
    const PictureSource source(picture);
    const PictureInfo info = InspectPicture(source);
    std::vector<MemoryOutput> outputs(PlanPages(info, options).pages.size());
    std::vector<ByteOutput*> targets;
    for (MemoryOutput& output : outputs) {
        targets.push_back(&output);
    }
    const std::vector<QSize> sizes = MakeScreenPages(source, info, options, targets);
    std::vector<QByteArray> pages;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        EXPECT_EQ(QImage::fromData(outputs[i].bytes).size(), sizes.at(i));
        pages.push_back(outputs[i].bytes);
    }
    return pages;
}

// The pages' pixels before they are encoded, as images.
std::vector<QImage> PageImages(const QByteArray& picture, const PageOptions& options)
{
    const PictureSource source(picture);
    std::vector<QImage> pages;
    MakePagePixels(source, InspectPicture(source), options, [&pages](const PixelBuffer& page, const QByteArray&) {
        pages.push_back(QImage(page.bytes.data(), page.width, page.height, static_cast<qsizetype>(page.RowBytes()),
                               page.channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888)
                            .copy());
    });
    return pages;
}

QByteArray PngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The peak signal-to-noise ratio of `page` against `reference`, in dB.
double Psnr(const QImage& page, const QImage& reference)
{
    const QImage other = reference.convertToFormat(page.format());
    EXPECT_EQ(other.size(), page.size());
    const auto rowBytes = static_cast<std::size_t>(page.width() * page.depth() / 8);
    double squares = 0;
    for (int y = 0; y < page.height() && y < other.height(); ++y) {
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const double difference = page.constScanLine(y)[i] - other.constScanLine(y)[i];
            squares += difference * difference;
        }
    }
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(rowBytes) * page.height() / squares);
}

class ScreenPagesTest : public TempFolderTest {
protected:
    // ImageMagick's resize of the picture at `path` with its Lanczos filter to exactly `size`.
    QImage MagickResized(const QString& path, QSize size)
    {
        const QString out = PathIn("magick.png");
        const QString geometry = QStringLiteral("%1x%2!").arg(size.width()).arg(size.height());
        EXPECT_EQ(RunProgram("convert", {path, "-filter", "Lanczos", "-resize", geometry, out}), 0);
        return QImage(out);
    }
};

}  // namespace

TEST(ScreenPlanTest, PagesFitTheScreenKeepingTheirShapeEnlargedOnlyWhenAskedAndPicturesNoStepChangesStayAsTheyAre)
{
    const auto planned = [](QSize picture, int orientation, bool enlarge) {
        PageOptions options = ScreenOptions(kPaperwhite);
        options.enlarge = enlarge;
        return PlanPages({PictureKind::Jpeg, picture, orientation}, options);
    };
    EXPECT_EQ(planned({4000, 3000}, 1, false).pages.at(0).size, QSize(1236, 927));
    EXPECT_EQ(planned({4000, 3000}, 6, false).pages.at(0).size, QSize(1236, 1648));
    EXPECT_EQ(planned({200, 9000}, 1, false).pages.at(0).size, QSize(36, 1648));
    EXPECT_EQ(planned({600, 800}, 1, true).pages.at(0).size, QSize(1236, 1648));
    EXPECT_FALSE(planned({600, 800}, 1, true).unchanged);
    EXPECT_FALSE(planned({1237, 900}, 1, false).unchanged);
    // Within the screen, a picture is left as it is, a landscape one too unless it is split; so are the original
    // pictures whatever their size.
    for (const PictureKind kind : {PictureKind::Jpeg, PictureKind::Png, PictureKind::Gif}) {
        EXPECT_TRUE(PlanPages({kind, {1236, 900}, 1}, ScreenOptions(kPaperwhite)).unchanged);
    }
    EXPECT_TRUE(PlanPages({PictureKind::Jpeg, {30000, 30000}, 1}, PageOptions()).unchanged);
    for (bool PageOptions::*step : {&PageOptions::grey, &PageOptions::trim}) {
        PageOptions changing = ScreenOptions(kPaperwhite);
        changing.*step = true;
        EXPECT_FALSE(PlanPages({PictureKind::Png, {1000, 900}, 1}, changing).unchanged);
    }
    PageOptions split = ScreenOptions(kPaperwhite);
    split.doublePages = DoublePages::Split;
    EXPECT_FALSE(PlanPages({PictureKind::Jpeg, {1200, 900}, 1}, split).unchanged);
}

TEST_F(ScreenPagesTest, EveryKindOfPictureMakesPagesThatShowItUpright)
{
    // Small enough a screen that a JPEG picture is scaled by its decoder and a PNG or GIF one averaged as it is read.
    for (const TestPicture& picture : MakeEveryKind({640, 480}, PathIn("kinds"))) {
        const std::vector<QByteArray> pages = Pages(picture.bytes, ScreenOptions({150, 200}));
        ASSERT_EQ(pages.size(), 1u) << picture.name.toStdString();
        EXPECT_TRUE(ShowsQuadrants(QImage::fromData(pages[0]))) << picture.name.toStdString();
    }
    // A phone photo stored sideways, to be turned a quarter clockwise: its page stands upright.
    const std::vector<QByteArray> pages =
        Pages(WithExifOrientation(MakeTestJpeg({2000, 1504}), 6), ScreenOptions(kPaperwhite));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(ShowsQuadrantsAt(QImage::fromData(pages[0]), {2, 0, 3, 1}));
}

TEST_F(ScreenPagesTest, ResizingComesCloseToImageMagicksLanczosOnLineArtAndOnAPhoto)
{
    if (QStandardPaths::findExecutable("convert").isEmpty()) {
        GTEST_SKIP() << "ImageMagick's convert is not installed (Debian package imagemagick): no reference to compare";
    }
    // A page of text scanned at 300 dots an inch with a drawing below it, shaded by hatching, grey.
    const QString lineArt = PathIn("line-art.png");
    QStringList draw = QStringLiteral("-size 2480x3508 xc:white -fill black -pointsize 38 -font").split(' ');
    draw << "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf";
    for (int line = 0; line < 44; ++line) {
        draw << "-annotate" << QStringLiteral("+200+%1").arg(300 + line * 55)
             << QStringLiteral("%1. The quick brown fox jumps over the lazy dog, then rests by the river %2.")
                    .arg(line + 1)
                    .arg(line * 37 % 101);
    }
    draw << QStringLiteral("-fill none -stroke black -strokewidth 5").split(' ') << "-draw"
         << "circle 700,3050 700,2850"
         << "-draw"
         << "bezier 1100,3400 1500,2700 1900,3500 2300,2800"
         << "-strokewidth"
         << "2";
    for (int x = 200; x < 1000; x += 9) {
        draw << "-draw" << QStringLiteral("line %1,2800 %2,3400").arg(x).arg(x + 150);
    }
    draw << QStringLiteral("-colorspace Gray -depth 8").split(' ') << lineArt;
    ASSERT_EQ(RunProgram("convert", draw), 0);
    const std::vector<QImage> text = PageImages(ReadTestFile(lineArt), ScreenOptions(kPaperwhite, true));
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].size(), QSize(1165, 1648));
    const double textPsnr = Psnr(text[0], MagickResized(lineArt, text[0].size()));

    // A photo of 4000 x 3000 as a camera stores it (4:2:0 colour, quality 90): sky, a soft horizon and sun, grass,
    // a little noise.
    QImage photo(4000, 3000, QImage::Format_RGB888);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            const double ground = std::clamp((y - 1650 - 150 * std::sin(x / 450.0)) / 2.5, 0.0, 1.0);
            const double sun = std::clamp(130 - std::hypot(x - 2900.0, y - 700.0) / 2, 0.0, 1.0);
            const double grass = 7 * std::sin(x * 0.83 + 3 * std::sin(y * 0.05)) * std::sin(y * 0.61);
            const unsigned hash = static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u;
            const double noise = static_cast<int>(hash % 7) - 3;
            const double sky[3] = {110 + y / 40.0, 150 + y / 50.0, 225 - y / 100.0};
            const double land[3] = {80 + 40 * std::sin(x / 300.0) + grass, 120 + grass, 60 + y / 150.0};
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                const double shade = sky[c] + (land[c] - sky[c]) * ground + (255 - 10 * c - sky[c]) * sun;
                rgb[c] = static_cast<int>(std::clamp(shade + noise, 0.0, 255.0));
            }
            photo.setPixel(x, y, qRgb(rgb[0], rgb[1], rgb[2]));
        }
    }
    const QString photoPpm = PathIn("photo.ppm");
    const QString photoJpeg = PathIn("photo.jpg");
    ASSERT_TRUE(photo.save(photoPpm, "PPM"));
    ASSERT_EQ(RunProgram("cjpeg", {"-quality", "90", "-outfile", photoJpeg, photoPpm}), 0);
    const std::vector<QImage> photoPage = PageImages(ReadTestFile(photoJpeg), ScreenOptions(kPaperwhite));
    ASSERT_EQ(photoPage.size(), 1u);
    EXPECT_EQ(photoPage[0].size(), QSize(1236, 927));
    const double photoPsnr = Psnr(photoPage[0], MagickResized(photoJpeg, photoPage[0].size()));

    std::printf("PSNR against ImageMagick: line art %.1f dB, photo %.1f dB\n", textPsnr, photoPsnr);
    EXPECT_GE(textPsnr, 32.0);
    EXPECT_GE(photoPsnr, 40.0);
}

TEST_F(ScreenPagesTest, PagesAreBaselineJpegsGreyOnesOfOneChannelColourOnesWithTheirColourProfile)
{
    // A multi-scan picture: its pages are single-scan all the same.
    const QByteArray picture = WithIccProfile(MakeTestJpeg({1600, 2400}, {TestColour::Rgb, true}), "RGB ");
    const std::vector<QByteArray> grey = Pages(picture, PageOptionsFor(*FindTargetScreen("kindle-paperwhite")));
    ASSERT_EQ(grey.size(), 1u);
    const JpegFacts greyFacts = ReadJpegFacts(grey[0]);
    EXPECT_EQ(greyFacts.components, 1);
    EXPECT_FALSE(greyFacts.progressive);
    EXPECT_TRUE(greyFacts.iccProfile.isEmpty());
    const QImage greyPage = QImage::fromData(grey[0]);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const QRgb colour = QuadrantColour(TestColour::Rgb, quadrant);
        const int luma = qRound(0.299 * qRed(colour) + 0.587 * qGreen(colour) + 0.114 * qBlue(colour));
        EXPECT_TRUE(PixelNear(greyPage, (quadrant % 2 * 2 + 1) * greyPage.width() / 4,
                              (quadrant / 2 * 2 + 1) * greyPage.height() / 4, qRgb(luma, luma, luma), 3));
    }

    const PageOptions colourScreen = PageOptionsFor(*FindTargetScreen("kindle-colorsoft"));
    const std::vector<QByteArray> colour = Pages(picture, colourScreen);
    ASSERT_EQ(colour.size(), 1u);
    const JpegFacts colourFacts = ReadJpegFacts(colour[0]);
    EXPECT_EQ(colourFacts.components, 3);
    EXPECT_FALSE(colourFacts.progressive);
    EXPECT_EQ(colourFacts.iccProfile, ReadJpegFacts(picture).iccProfile);
    // A CMYK picture's page is RGB: the picture's profile does not describe it.
    const QByteArray cmyk = WithIccProfile(MakeTestJpeg({1600, 2400}, {TestColour::Cmyk, false}), "CMYK");
    const std::vector<QByteArray> inks = Pages(cmyk, colourScreen);
    ASSERT_EQ(inks.size(), 1u);
    EXPECT_TRUE(ReadJpegFacts(inks[0]).iccProfile.isEmpty());
    EXPECT_TRUE(ShowsQuadrants(QImage::fromData(inks[0]), TestColour::Cmyk));
}

TEST_F(ScreenPagesTest, DoublePagesSplitInReadingOrderOrTurnWithTheHalfReadFirstOnTop)
{
    // Of an odd width, so that the halves differ: the right one has the middle column.
    const QImage spread = QuadrantImage({401, 200});
    const QImage left = spread.copy(0, 0, 200, 200);
    const QImage right = spread.copy(200, 0, 201, 200);
    const QByteArray png = PngOf(spread);
    PageOptions options = ScreenOptions(kPaperwhite);
    options.doublePages = DoublePages::Split;
    EXPECT_EQ(PageImages(png, options), (std::vector<QImage>{left, right}));
    options.doublePages = DoublePages::Turn;
    EXPECT_EQ(PageImages(png, options), std::vector<QImage>{spread.transformed(QTransform().rotate(90))});

    options.direction = ReadingDirection::RightToLeft;
    EXPECT_EQ(PageImages(png, options), std::vector<QImage>{spread.transformed(QTransform().rotate(-90))});
    options.doublePages = DoublePages::Both;
    EXPECT_EQ(PageImages(png, options), (std::vector<QImage>{right, left, spread}));
}

TEST_F(ScreenPagesTest, TrimmingTakesUniformMarginsPastSpecksAndAPageNumberAndAtMostATenth)
{
    // A page of 1000 x 1400: a framed block of text from (80, 200) to (920, 1300), with the faint ends of a few
    // letters below the frame; white margins of 200 above it with a speck, 80 left of it with a speck, 100 below it
    // with a page number; right of it a white strip of 20, then a black margin (the scanner's lid) of 60.
    QImage page(1000, 1400, QImage::Format_RGB888);
    page.fill(Qt::white);
    const auto ink = [&page](int x, int y, int w, int h, QRgb colour = qRgb(20, 20, 20)) {
        for (int row = y; row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                page.setPixel(column, row, colour);
            }
        }
    };
    for (int line = 230; line + 24 < 1290; line += 40) {
        for (int letter = 100; letter + 10 < 900; letter += 14) {
            ink(letter, line + (letter % 3 == 0 ? 0 : 8), 3, letter % 3 == 0 ? 24 : 16);
            ink(letter, line + 22, 10, 2);
        }
    }
    ink(80, 200, 840, 3);
    ink(80, 1297, 840, 3);
    ink(80, 200, 3, 1100);
    ink(917, 200, 3, 1100);
    for (int x = 200; x < 900; x += 200) {
        ink(x, 1300, 3, 4);
    }
    ink(940, 0, 60, 1400, qRgb(0, 0, 0));
    ink(500, 50, 3, 3);
    ink(40, 700, 2, 2);
    for (int digit = 0; digit < 3; ++digit) {
        ink(485 + digit * 11, 1340, 8, 2);
        ink(485 + digit * 11, 1354, 8, 2);
        ink(491 + digit * 11, 1340, 2, 16);
    }
    PageOptions options = ScreenOptions({2000, 3000});
    options.trim = true;
    EXPECT_FALSE(PlanPages({PictureKind::Png, page.size(), 1}, options).pages.at(0).size);
    // The top margin is trimmed by a tenth of the page's height only.
    EXPECT_EQ(PageImages(PngOf(page), options), std::vector<QImage>{page.copy(80, 140, 860, 1164)});
}

TEST_F(ScreenPagesTest, APictureTooLargeIsRefusedBeforeDecodingAndOneOfAHundredMillionPixelsIsMadeInLittleMemory)
{
    // Only the header of a JPEG picture says it is that large: decoding would fill in the missing data.
    const QByteArray tooLarge = WithFrameSize(MakeTestJpeg({64, 48}), {16384, 8193});
    try {
        MakeScreenPages(PictureSource(tooLarge), {PictureKind::Jpeg, {16384, 8193}, 1}, ScreenOptions(kPaperwhite), {});
        ADD_FAILURE() << "a picture of 16384 x 8193 pixels was taken";
    } catch (const PictureError& error) {
        EXPECT_STREQ(error.what(),
                     "the picture is too large to make pages of: 16384 x 8193 pixels, more than 134 million");
    }

    const QString path = PathIn("large.png");
    WriteLargePng(path, {10000, 10000}, false);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PictureSource source(file.handle(), file.size());
    const PictureInfo info = InspectPicture(source);
    const bool measure = !kUnderSanitizer && ResetPeakResident();
    const long long before = ResidentBytes();
    MemoryOutput output;
    ByteOutput* outputs[] = {&output};
    EXPECT_EQ(MakeScreenPages(source, info, ScreenOptions(kPaperwhite), outputs), (std::vector<QSize>{{1236, 1236}}));
    if (measure) {
        EXPECT_LT(PeakResidentBytes() - before, 64LL << 20);
    }
    EXPECT_TRUE(ShowsQuadrants(QImage::fromData(output.bytes)));
}
