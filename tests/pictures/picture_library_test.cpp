#include "pictures/file_output.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"
#include "pictures/picture_preview.h"
#include "preview/preview_picture.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <unistd.h>

namespace {

const QSize kSize(64, 48);  // whole blocks of 16 x 16, so that a JPEG picture turns without loss

// The stored quadrant each corner of the upright picture shows, for the orientations turned a half,
// a quarter clockwise and a quarter anticlockwise (corners: top left, top right, bottom left, bottom right).
const std::array<int, 4> kUpright = {0, 1, 2, 3};
const std::map<int, std::array<int, 4>> kCornersByOrientation = {
    {3, {3, 2, 1, 0}},
    {6, {2, 0, 3, 1}},
    {8, {1, 3, 0, 2}},
};

class PictureLibraryTest : public TempFolderTest {
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = PathIn(name);
        WriteTestFile(path, bytes);
        return path;
    }

    // The book's picture for the file at `path`, and the library's description of the file.
    QByteArray Prepared(const QString& path, PictureInfo* info = nullptr)
    {
        QFile source(path);
        EXPECT_TRUE(source.open(QIODevice::ReadOnly));
        const PictureSource bytes(source.handle(), source.size());
        const PictureInfo inspected = InspectPicture(bytes);
        // The staging copies the picture from the same descriptor after checking it: reading at places
        // leaves its offset at the start.
        EXPECT_EQ(::lseek(source.handle(), 0, SEEK_CUR), 0);
        QFile target(path + ".book");
        EXPECT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FileOutput output(target.handle());
        PrepareForBook(bytes, inspected, output);
        target.close();
        if (info != nullptr) {
            *info = inspected;
        }
        return ReadTestFile(path + ".book");
    }

    // The reason InspectPictureFile gives for the bytes, or "" when it takes them.
    std::string RefusalOf(const QByteArray& bytes)
    {
        try {
            InspectPictureFile(WriteFile("refused.jpg", bytes));
        } catch (const PictureError& error) {
            return error.what();
        }
        return "";
    }
};

// Decodes a picture with Qt's own readers, which know nothing of ours; `format` receives what they
// took it for.
QImage ReadWithQt(const QByteArray& bytes, QByteArray* format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    *format = reader.format();
    return reader.read();
}

TEST_F(PictureLibraryTest, EveryKindIsKnownByItsBytesAndBecomesABookPictureOfItsColours)
{
    for (const TestPicture& picture : MakeEveryKind(kSize, PathIn("made"))) {
        SCOPED_TRACE(picture.name.toStdString());
        // Every one named as a JPEG picture: the name decides nothing.
        const QString path = WriteFile(picture.name + "/photo.jpg", picture.bytes);
        PictureInfo info;
        const QByteArray book = Prepared(path, &info);
        EXPECT_EQ(info.kind, picture.kind);
        EXPECT_EQ(info.size, kSize);
        EXPECT_EQ(info.DisplayedSize(), kSize);
        EXPECT_EQ(info.orientation, 1);

        QByteArray format;
        const QImage shown = ReadWithQt(book, &format);
        EXPECT_EQ("image/" + format, BookMediaType(picture.kind).toLatin1());
        EXPECT_EQ(BookExtension(picture.kind), format == "jpeg" ? ".jpg" : "." + format);
        ASSERT_EQ(shown.size(), kSize);
        EXPECT_TRUE(ShowsQuadrantsAt(shown, kUpright));
        if (info.CarriedAsIs()) {
            EXPECT_EQ(book, picture.bytes);
        }

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QImage preview =
            PreviewImage(DecodeForPreview(PictureSource(file.handle(), file.size()), info, {32, 24}));
        EXPECT_TRUE(ShowsQuadrantsAt(preview, kUpright));
    }
}

TEST_F(PictureLibraryTest, BrokenPicturesAndOtherFilesAreRefusedWithAReason)
{
    const std::vector<TestPicture> pictures = MakeEveryKind(kSize, PathIn("made"));
    EXPECT_EQ(RefusalOf({}), picture_reason::kEmptyFile);
    EXPECT_EQ(RefusalOf("Shopping list: bread, milk.\n"), picture_reason::kNotAPicture);
    EXPECT_EQ(RefusalOf(QByteArray(5000, '\0')), picture_reason::kNotAPicture);
    // Each kind cut short: a camera's JPEG of real size, the others as made.
    const QByteArray photo = MakeTestJpeg({1200, 900});
    EXPECT_EQ(RefusalOf(photo.left(photo.size() / 2)), picture_reason::kCutShort);
    for (const TestPicture& picture : pictures) {
        SCOPED_TRACE(picture.name.toStdString());
        EXPECT_EQ(RefusalOf(picture.bytes.left(picture.bytes.size() * 3 / 4)), picture_reason::kCutShort);
    }
    // A damaged header gets the decoder's own words.
    QByteArray damaged = photo;
    damaged.replace(damaged.indexOf("\xFF\xC0"), 4, QByteArray("\xFF\xC0\0\x02", 4));
    const std::string reason = RefusalOf(damaged);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason, picture_reason::kCutShort);

    // What cameras and phones put after the end of a JPEG picture does not make it broken: padding,
    // and a motion photo's video of far more than the tail that is read first.
    EXPECT_EQ(RefusalOf(photo + QByteArray(300, '\0')), "");
    EXPECT_EQ(RefusalOf(photo + QByteArray(200'000, '\x5A') + "ftypmp42"), "");
}

TEST_F(PictureLibraryTest, PhotosStandUprightInTheBookAndThePreview)
{
    for (const auto& [orientation, corners] : kCornersByOrientation) {
        for (const QSize size : {kSize, QSize(60, 44)}) {  // the second has partial blocks: encoded again
            SCOPED_TRACE(testing::Message()
                         << "orientation " << orientation << ", " << size.width() << " x " << size.height());
            const QString path = WriteFile(QString("turned-%1-%2.jpg").arg(orientation).arg(size.width()),
                                           WithExifOrientation(MakeTestJpeg(size), orientation));
            PictureInfo info;
            const QByteArray book = Prepared(path, &info);
            EXPECT_EQ(info.orientation, orientation);
            const QSize upright = orientation == 3 ? size : size.transposed();
            EXPECT_EQ(info.DisplayedSize(), upright);

            QByteArray format;
            const QImage shown = ReadWithQt(book, &format);
            EXPECT_EQ(format, "jpeg");
            ASSERT_EQ(shown.size(), upright);
            EXPECT_TRUE(ShowsQuadrantsAt(shown, corners));
            const PictureInfo again = InspectPicture(PictureSource(book));
            EXPECT_EQ(again.orientation, 1);
            EXPECT_EQ(again.size, upright);

            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QImage preview =
                PreviewImage(DecodeForPreview(PictureSource(file.handle(), file.size()), info, upright / 2));
            EXPECT_TRUE(ShowsQuadrantsAt(preview, corners));
        }
    }

    // The lossless turn is jpegtran's, markers copied, but for the orientation now saying upright: one byte.
    const QString photo = WriteFile("quarter.jpg", WithExifOrientation(MakeTestJpeg(kSize), 6));
    const QByteArray ours = Prepared(photo);
    const QByteArray jpegtran = ProgramOutput("jpegtran", {"-copy", "all", "-perfect", "-rotate", "90", photo});
    ASSERT_EQ(ours.size(), jpegtran.size());
    std::vector<qsizetype> differing;
    for (qsizetype i = 0; i < ours.size(); ++i) {
        if (ours[i] != jpegtran[i]) {
            differing.push_back(i);
        }
    }
    ASSERT_EQ(differing.size(), 1U);
    EXPECT_EQ(jpegtran[differing[0]], '\x06');
    EXPECT_EQ(ours[differing[0]], '\x01');

    // An orientation outside 1-8 counts as upright: the picture goes into the book as it is.
    const QByteArray odd = WithExifOrientation(MakeTestJpeg(kSize), 9);
    EXPECT_EQ(Prepared(WriteFile("odd.jpg", odd)), odd);

    // Converted pictures are turned too: a TIFF picture by its orientation tag, an AVIF picture by the
    // quarter turns anticlockwise of its container (three of them: a quarter clockwise).
    const QString tiff = WriteFile("turned.tif", MakeEveryKind(kSize, PathIn("made"))[8].bytes);
    ASSERT_EQ(RunProgram("tiffset", {"-s", "274", "6", tiff}), 0);
    const QString avif = PathIn("turned.avif");
    ASSERT_EQ(RunProgram("avifenc", {"-s", "10", "--irot", "3", PathIn("made/source.png"), avif}), 0);
    for (const QString& path : {tiff, avif}) {
        SCOPED_TRACE(path.toStdString());
        QByteArray format;
        const QImage shown = ReadWithQt(Prepared(path), &format);
        EXPECT_EQ(format, path.endsWith("tif") ? "png" : "jpeg");
        ASSERT_EQ(shown.size(), kSize.transposed());
        EXPECT_TRUE(ShowsQuadrantsAt(shown, kCornersByOrientation.at(6)));
    }
}

TEST_F(PictureLibraryTest, InterlacedGifIsPreviewedFromItsRowsInOrder)
{
    // Half its rows or fewer come from the last of its passes alone; more from all of them, put in order.
    const QString path = WriteFile("interlaced.gif", MakeInterlacedGif(kSize, PathIn("made.gif")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PictureSource source(file.handle(), file.size());
    const PictureInfo info = InspectPicture(source);
    for (const QSize target : {kSize / 2, kSize}) {
        const QImage preview = PreviewImage(DecodeForPreview(source, info, target));
        EXPECT_EQ(preview.size(), target);
        EXPECT_TRUE(ShowsQuadrantsAt(preview, kUpright));
    }
}

TEST_F(PictureLibraryTest, HugePngIsPreviewedInBoundedMemory)
{
    // 12000 x 9000 is 324 MB of pixels; the preview may take 64 MiB at most above what the process held.
    constexpr long long kBound = 64LL * 1024 * 1024;
    const QSize huge(12000, 9000);
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "not interlaced");
        const QString path = PathIn(interlaced ? "huge-interlaced.png" : "huge.png");
        WriteLargePng(path, huge, interlaced);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const PictureSource source(file.handle(), file.size());
        const PictureInfo info = InspectPicture(source);
        ASSERT_EQ(info.size, huge);
        // What decoding touches for the first time belongs to the baseline: a small picture first.
        const QString small = PathIn("small.png");
        WriteLargePng(small, {300, 200}, interlaced);
        QFile smallFile(small);
        ASSERT_TRUE(smallFile.open(QIODevice::ReadOnly));
        const PictureSource smallSource(smallFile.handle(), smallFile.size());
        DecodeForPreview(smallSource, InspectPicture(smallSource), {30, 20});

        const bool measure = !kUnderSanitizer && ResetPeakResident();
        const long long before = ResidentBytes();
        const QImage preview = PreviewImage(DecodeForPreview(source, info, PreviewPictureSize(huge, {140, 168})));
        if (measure) {
            EXPECT_LT(PeakResidentBytes() - before, kBound);
        }
        EXPECT_EQ(preview.size(), QSize(141, 105));
        EXPECT_TRUE(ShowsQuadrantsAt(preview, kUpright));
    }
}

}  // namespace
