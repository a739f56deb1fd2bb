#include "preview/preview_picture.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>

#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace {

const QSize kBox(140, 168);

class PreviewPictureTest : public TempFolderTest {
protected:
    QString WriteJpeg(QSize size, const TestJpegOptions& options = {})
    {
        const QString path = PathIn(QString("%1x%2.jpg").arg(size.width()).arg(size.height()));
        WriteTestFile(path, MakeTestJpeg(size, options));
        return path;
    }

    // The message number of the JpegError that making the preview of these bytes raises, -1 when it
    // raises none; the text of another PictureError in `reason`.
    int PreviewErrorOf(const QByteArray& bytes, QString* reason = nullptr)
    {
        const QString path = PathIn("rejected.jpg");
        WriteTestFile(path, bytes);
        try {
            MakePreviewPicture(path, kBox);
        } catch (const JpegError& error) {
            EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(error.MessageCode()));
            return error.MessageCode();
        } catch (const PictureError& error) {
            EXPECT_NE(reason, nullptr) << error.what();
            if (reason != nullptr) {
                *reason = error.Text();
            }
        }
        return -1;
    }
};

TEST_F(PreviewPictureTest, PicturesThatFitTheBoxAreGivenWhole)
{
    for (const QSize size : {QSize(140, 168), QSize(100, 50), QSize(1, 1)}) {
        const auto picture = MakePreviewPicture(WriteJpeg(size), kBox);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->size(), size);
        EXPECT_EQ(picture->format(), QImage::Format_RGB888);
        if (size.width() > 1) {
            EXPECT_TRUE(ShowsQuadrants(*picture));
        }
    }
}

TEST_F(PreviewPictureTest, LargerPicturesAreReducedByTheWholeFactorWithoutDecodingAtFullSize)
{
    struct Case {
        QSize picture;
        QSize reduced;
        QSize decoded;  // what the decoder delivers at its smallest scale covering `reduced`
    };
    const Case cases[] = {
        {{1400, 1000}, {140, 100}, {175, 125}},  // factor 10 from the width; scale 1/8
        {{1000, 1500}, {125, 187}, {125, 188}},  // factor 8 from the height; scale 1/8
        {{280, 100}, {140, 50}, {140, 50}},      // factor 2; scale 4/8 gives it exactly
        {{500, 500}, {166, 166}, {188, 188}},    // square uses the width: factor 3; scale 3/8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << " x " << c.picture.height());
        JpegReader reader = JpegReader::OpenFile(WriteJpeg(c.picture));
        const QImage picture = MakePreviewPicture(reader, kBox);
        EXPECT_EQ(picture.size(), c.reduced);
        EXPECT_EQ(picture.format(), QImage::Format_RGB888);
        EXPECT_EQ(reader.DecoderOutputSize(), c.decoded);
        EXPECT_TRUE(ShowsQuadrants(picture));
    }
}

TEST_F(PreviewPictureTest, FactorZeroShowsThePictureUnreduced)
{
    // Wider than the box, taller than wide, less tall than the box: the factor is 0.
    for (const QSize size : {QSize(150, 160), QSize(141, 142), QSize(166, 167)}) {
        const auto picture = MakePreviewPicture(WriteJpeg(size), kBox);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->size(), size);
        EXPECT_TRUE(ShowsQuadrants(*picture));
    }
}

TEST_F(PreviewPictureTest, ReductionKeepsAtLeastOnePixelOfTheShortSide)
{
    EXPECT_EQ(MakePreviewPicture(WriteJpeg({1400, 5}), kBox)->size(), QSize(140, 1));
    EXPECT_EQ(MakePreviewPicture(WriteJpeg({5, 1680}), kBox)->size(), QSize(1, 168));
}

TEST_F(PreviewPictureTest, NoPathOrNoFileGivesNothing)
{
    EXPECT_FALSE(MakePreviewPicture(QString(), kBox).has_value());
    EXPECT_FALSE(MakePreviewPicture(PathIn("missing.jpg"), kBox).has_value());
    QDir().mkpath(PathIn("folder.jpg"));
    EXPECT_FALSE(MakePreviewPicture(PathIn("folder.jpg"), kBox).has_value());
}

TEST_F(PreviewPictureTest, FilesTheDecoderRejectsRaiseItsMessageNumber)
{
    // A file that is no JPEG picture at all never reaches the JPEG decoder: its reason is the library's.
    QString reason;
    EXPECT_EQ(PreviewErrorOf("This is a text file, not a picture.\n", &reason), -1);
    EXPECT_EQ(reason, "not a picture");
    EXPECT_EQ(PreviewErrorOf(QByteArray(), &reason), -1);
    EXPECT_EQ(reason, "the file is empty");
    // Message numbers of libjpeg 6.2 (libjpeg-turbo): 41 "Maximum supported image dimension is 65500 pixels".
    EXPECT_EQ(PreviewErrorOf(WithFrameSize(MakeTestJpeg({16, 16}), {65535, 100})), 41);
    EXPECT_EQ(JERR_IMAGE_TOO_BIG, 41);
    // A frame header claiming a height of 0 (which would need a DNL marker).
    EXPECT_EQ(PreviewErrorOf(WithFrameSize(MakeTestJpeg({16, 16}), {16, 0})), JERR_EMPTY_IMAGE);
    // The first bytes of a JPEG only: the file ends in the header, which says what is wrong.
    EXPECT_EQ(PreviewErrorOf(MakeTestJpeg({300, 300}).left(20), &reason), -1);
    EXPECT_EQ(reason, "the picture is cut short");
}

TEST_F(PreviewPictureTest, TruncatedPictureIsRefusedAsABookRefusesIt)
{
    // The decoder could fill in what is missing, but the preview must not show a picture that no book takes.
    const QByteArray whole = MakeTestJpeg({1400, 1000});
    QString reason;
    EXPECT_EQ(PreviewErrorOf(whole.left(whole.size() * 4 / 10), &reason), -1);
    EXPECT_EQ(reason, "the picture is cut short");
}

}  // namespace
