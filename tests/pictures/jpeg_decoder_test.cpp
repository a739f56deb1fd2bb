#include "pictures/jpeg_decoder.h"
#include "preview/preview_picture.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <functional>

#include <jerror.h>
#include <jpeglib.h>

namespace {

const QSize kBox(140, 168);

// The most that making a preview may add to the peak resident memory of the process.
constexpr long long kPreviewMemoryBound = 8LL * 1024 * 1024;

class JpegDecoderTest : public TempFolderTest {
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = PathIn(name);
        WriteTestFile(path, bytes);
        return path;
    }

    // Makes the preview of the file, or has it refused, and checks that the peak resident memory of the
    // process grew by less than kPreviewMemoryBound meanwhile.
    void ExpectPreviewInBoundedMemory(const QString& path, const std::function<void(JpegReader&)>& preview)
    {
        // Everything the decoding touches for the first time (code pages, tables) belongs to
        // the baseline: a small picture first.
        MakePreviewPicture(WriteFile("warm-up.jpg", MakeTestJpeg({400, 300})), kBox);
        const bool measure = !kUnderSanitizer && ResetPeakResident();
        const long long before = ResidentBytes();

        JpegReader reader = JpegReader::OpenFile(path);
        preview(reader);

        if (measure) {
            EXPECT_LT(PeakResidentBytes() - before, kPreviewMemoryBound);
        }
    }
};

TEST_F(JpegDecoderTest, EveryColourSpaceComesOutAsRgbWholeAndReduced)
{
    const TestJpegOptions pictures[] = {
        {TestColour::Rgb, false}, {TestColour::Rgb, true},   {TestColour::Grey, false},
        {TestColour::Grey, true}, {TestColour::Cmyk, false}, {TestColour::Ycck, false},
    };
    for (const TestJpegOptions& options : pictures) {
        SCOPED_TRACE(testing::Message() << "colour " << static_cast<int>(options.colour) << " progressive "
                                        << options.progressive);
        const QByteArray jpeg = MakeTestJpeg({320, 240}, options);

        const QImage whole = PreviewImage(DecodeJpeg(jpeg));
        EXPECT_EQ(whole.size(), QSize(320, 240));
        EXPECT_TRUE(ShowsQuadrants(whole, options.colour));

        JpegReader reader = JpegReader::OpenBytes(jpeg);
        const QImage reduced = PreviewImage(reader.Decode({70, 50}));
        EXPECT_EQ(reduced.size(), QSize(70, 50));
        EXPECT_EQ(reader.DecoderOutputSize(), QSize(80, 60));  // scale 2/8
        EXPECT_TRUE(ShowsQuadrants(reduced, options.colour));
    }
}

TEST_F(JpegDecoderTest, HugeHeaderWithLittleDataIsRefusedAsDamagedInBoundedMemory)
{
    // A header that promises 60000 x 60000 pixels (10 GB at full size) over the data of a
    // 16 x 16 picture: the data runs out long before the picture is complete. A book refuses
    // it, and so does the preview, at the decoder's smallest scale.
    const QString path = WriteFile("huge.jpg", WithFrameSize(MakeTestJpeg({16, 16}), {60000, 60000}));
    ExpectPreviewInBoundedMemory(path, [](JpegReader& reader) {
        try {
            MakePreviewPicture(reader, kBox);
            ADD_FAILURE() << "no error";
        } catch (const PictureError& error) {
            EXPECT_STREQ(error.what(), "the picture is damaged");
        }
    });
}

TEST_F(JpegDecoderTest, LargePictureIsPreviewedInBoundedMemory)
{
    // 36 MB of pixels at full size.
    const QString path = WriteFile("large.jpg", MakeTestJpeg({4000, 3000}));
    ExpectPreviewInBoundedMemory(path, [](JpegReader& reader) {
        EXPECT_EQ(MakePreviewPicture(reader, kBox).size(), QSize(142, 107));
        EXPECT_EQ(reader.DecoderOutputSize(), QSize(500, 375));
    });
}

TEST_F(JpegDecoderTest, ProgressivePictureNeedingTooMuchDecoderMemoryIsRefused)
{
    // A progressive picture is held whole by the decoder as coefficients: 60000 x 60000
    // needs about 10 GB, far over the limit, and is refused before any of it is taken.
    const QByteArray progressive = MakeTestJpeg({16, 16}, {TestColour::Rgb, true});
    const QString path = WriteFile("huge-progressive.jpg", WithFrameSize(progressive, {60000, 60000}));
    try {
        MakePreviewPicture(path, kBox);
        FAIL() << "no error";
    } catch (const PictureError& error) {
        EXPECT_STREQ(
            error.what(),
            "the picture is too large: decoding it would take 10300 MiB, more than the 256 MiB a picture may take");
    }
}

TEST_F(JpegDecoderTest, PictureOfMoreScansThanTheLimitIsRefused)
{
    // Every scan is another pass over the whole picture, so the count is limited.
    const QByteArray progressive = MakeTestJpeg({64, 64}, {TestColour::Rgb, true});
    const int scans = 10;  // libjpeg's progression for a colour picture
    EXPECT_EQ(DecodeJpeg(WithExtraScans(progressive, JpegReader::kMaxScans - scans)).width, 64);
    try {
        DecodeJpeg(WithExtraScans(progressive, JpegReader::kMaxScans - scans + 1));
        FAIL() << "no error";
    } catch (const JpegError& error) {
        EXPECT_EQ(error.MessageCode(), JERR_BAD_PROGRESSION);
    }
}

TEST_F(JpegDecoderTest, WholeDecodingRejectsWhatIsNotASmallJpeg)
{
    auto messageOf = [](const QByteArray& bytes) {
        try {
            DecodeJpeg(bytes);
        } catch (const JpegError& error) {
            return error.MessageCode();
        }
        return -1;
    };
    EXPECT_EQ(messageOf(QByteArray()), JERR_INPUT_EMPTY);
    EXPECT_EQ(messageOf("GIF89a"), JERR_NO_SOI);
    // Within what the decoder accepts, but too large to hold whole.
    EXPECT_EQ(messageOf(WithFrameSize(MakeTestJpeg({16, 16}), {20000, 20000})), JERR_IMAGE_TOO_BIG);
}

}  // namespace
