#include "pictures/file_output.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_memory.h"
#include "pictures/picture_preparation.h"
#include "pictures/picture_preview.h"
#include "preview/preview_picture.h"

#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// Two pictures are worked on at once, so each must stay well within the limit.
constexpr long long kBound = kMaxPictureWorkBytes / 2;

class PictureMemoryTest : public TempFolderTest {
protected:
    // The book's picture for the file at `from`, written to the file at `to`.
    static void Prepare(const QString& from, const QString& to)
    {
        QFile source(from);
        QFile target(to);
        if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) {
            throw std::runtime_error("cannot open the pictures");
        }
        const PictureSource bytes(source.handle(), source.size());
        FileOutput output(target.handle());
        PrepareForBook(bytes, InspectPicture(bytes), output);
    }
};

TEST_F(PictureMemoryTest, LargePicturesAreWorkedOnWellWithinTheMemoryLimit)
{
    // 244 MiB of grey pixels in a TIFF file of a few megabytes, and in a JPEG picture marked to be turned a
    // quarter, whose partial blocks leave it to be decoded and encoded again.
    const QString tiff = PathIn("large.tif");
    WriteLargeGreyTiff(tiff, {16000, 16000});
    const QString sideways = PathIn("sideways.jpg");
    WriteTestFile(sideways, WithExifOrientation(MakeTestJpeg({16001, 16001}, {TestColour::Grey, false}), 6));
    const struct {
        const char* name;
        std::function<void()> work;
    } works[] = {
        {"the TIFF picture's preview",
         [&tiff] {
             MakePreviewPicture(tiff, {140, 168});
         }},
        {"the TIFF picture converted", [&tiff, this] { Prepare(tiff, PathIn("tiff-book")); }},
        {"the JPEG picture turned", [&sideways, this] { Prepare(sideways, PathIn("jpeg-book")); }},
    };
    for (const auto& work : works) {
        SCOPED_TRACE(work.name);
        const long long rise = PeakMemoryOf(work.work);
        if (!kUnderSanitizer) {
            EXPECT_LT(rise, kBound);
        }
    }

    const PictureInfo converted = InspectPictureFile(PathIn("tiff-book"));
    EXPECT_EQ(converted.kind, PictureKind::Png);
    EXPECT_EQ(converted.size, QSize(16000, 16000));
    const PictureInfo turned = InspectPictureFile(PathIn("jpeg-book"));
    EXPECT_EQ(turned.kind, PictureKind::Jpeg);
    EXPECT_EQ(turned.size, QSize(16001, 16001));
    EXPECT_EQ(turned.orientation, 1);
    // Turned a quarter clockwise: the stored bottom left quadrant is at the top left.
    const auto preview = MakePreviewPicture(PathIn("jpeg-book"), {140, 168});
    ASSERT_TRUE(preview.has_value());
    const std::array<int, 4> corners = {2, 0, 3, 1};
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_TRUE(PixelNear(*preview, preview->width() * (1 + corner % 2 * 2) / 4,
                              preview->height() * (1 + corner / 2 * 2) / 4,
                              QuadrantColour(TestColour::Grey, corners[static_cast<std::size_t>(corner)])));
    }

    // In colour its turn would take three times as much, 733 MiB for the turned picture alone: refused before a
    // row is decoded, from a header over no more data than a small picture's.
    const QString colour = PathIn("colour.jpg");
    WriteTestFile(colour, WithExifOrientation(WithFrameSize(MakeTestJpeg({16, 16}), {16001, 16001}), 6));
    try {
        Prepare(colour, PathIn("colour-book"));
        ADD_FAILURE() << "not refused";
    } catch (const PictureError& error) {
        const auto reason = QRegularExpression("^the picture is too large: turning it would take (\\d+) MiB, more than "
                                               "the 256 MiB a picture may take$")
                                .match(error.Text());
        ASSERT_TRUE(reason.hasMatch()) << error.what();
        EXPECT_GE(reason.captured(1).toInt(), 733);
    }
}

}  // namespace
