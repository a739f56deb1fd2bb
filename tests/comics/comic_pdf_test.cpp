#include "comics/comic_container.h"
#include "comics/comic_reader.h"

#include "tests/comics/comics_test.h"
#include "tests/support/test_files.h"

#include <QColorSpace>
#include <QImage>

namespace {

class ComicPdfTest : public ComicsTest {
protected:
    void SetUp() override
    {
        ComicsTest::SetUp();
        WriteTestFile(PathIn("page.jpg"), SmallJpeg("page"));
        // Four flat quadrants, as a colour, a grey, a palette and a black and white picture, of rows that end
        // within a byte at one or two bits a pixel.
        Run("convert -size 61x48 xc:red -fill blue -draw 'rectangle 32,0 60,23' -fill green "
            "-draw 'rectangle 0,24 31,47' colour.png && convert colour.png -colorspace Gray grey.png "
            "&& convert colour.png -colors 4 -type Palette palette.png && convert colour.png -monochrome black.png");
    }

    // The pixels of a picture, however it is coded, without its colour profile.
    static QImage Pixels(const QByteArray& bytes)
    {
        QImage image = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        image.setColorSpace({});
        return image;
    }
};

// Debian's ImageMagick may not write "PDF:" (its security policy forbids it); its "PDFA:" writer makes the same
// pages.
TEST_F(ComicPdfTest, EveryPageGivesItsPictureAsStoredOrAsThePictureLibraryConvertsIt)
{
    const QByteArray jpegs[] = {SmallJpeg("one"), SmallJpeg("two"), SmallJpeg("three")};
    for (int i = 0; i < 3; ++i) {
        WriteTestFile(PathIn(QString("%1.jpg").arg(i + 1)), jpegs[i]);
    }
    Run("img2pdf 1.jpg 2.jpg 3.jpg -o jpeg-named-as-zip.cbz");
    Run("qpdf --encrypt '' owner 256 -- jpeg-named-as-zip.cbz owner-password.pdf");
    // ImageMagick stores 8 bits a sample; img2pdf stores PNG pictures' own rows (2-bit palette, 1-bit grey).
    Run("convert colour.png grey.png palette.png -compress Zip PDFA:pixels.pdf");
    Run("img2pdf palette.png black.png -o png-rows.pdf");
    Run("convert colour.png colour.jp2 && img2pdf colour.jp2 -o jpeg2000.pdf");
    // ImageMagick codes JPEG 2000 without loss only; openjpeg's own tool codes with loss.
    Run("opj_compress -i colour.png -o lossy.jp2 -I -r 20 > /dev/null && img2pdf lossy.jp2 -o jpeg2000-lossy.pdf");

    for (const QString name : {"jpeg-named-as-zip.cbz", "owner-password.pdf"}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(ComicContainerKindOfFile(PathIn(name)), ComicContainerKind::Pdf);
        const std::unique_ptr<ComicReader> reader = ComicReader::Open(PathIn(name));
        const ComicListing listing = reader->List();
        EXPECT_EQ(PagePaths(listing), QStringList({"page 1", "page 2", "page 3"}));
        EXPECT_TRUE(listing.leftOut.isEmpty()) << listing.leftOut.join('\n').toStdString();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(listing.pages[i].info.kind, PictureKind::Jpeg);
            EXPECT_EQ(reader->Read(listing.pages[i].member), jpegs[i]);
        }
    }

    for (const auto& [name, sources] :
         std::vector<std::pair<QString, QStringList>>{{"pixels.pdf", {"colour.png", "grey.png", "palette.png"}},
                                                      {"png-rows.pdf", {"palette.png", "black.png"}}}) {
        const std::unique_ptr<ComicReader> reader = ComicReader::Open(PathIn(name));
        const ComicListing listing = reader->List();
        ASSERT_EQ(listing.pages.size(), sources.size());
        for (int i = 0; i < sources.size(); ++i) {
            SCOPED_TRACE((name + " " + sources[i]).toStdString());
            EXPECT_EQ(listing.pages[i].info.kind, PictureKind::Png);
            EXPECT_EQ(listing.pages[i].info.size, QSize(61, 48));
            const QByteArray png = reader->Read(listing.pages[i].member);
            EXPECT_TRUE(png.startsWith("\x89PNG"));
            EXPECT_EQ(Pixels(png), Pixels(ReadTestFile(PathIn(sources[i]))));
        }
    }

    // A colour profile the page gives the picture goes with it.
    WriteTestFile(PathIn("srgb.icc"), QColorSpace(QColorSpace::SRgb).iccProfile());
    Run("convert colour.png -profile srgb.icc profiled.png && img2pdf profiled.png -o profiled.pdf");
    const std::unique_ptr<ComicReader> profiled = ComicReader::Open(PathIn("profiled.pdf"));
    const QImage withProfile = QImage::fromData(profiled->Read(profiled->List().pages.value(0).member));
    EXPECT_EQ(withProfile.colorSpace().iccProfile(), QColorSpace(QColorSpace::SRgb).iccProfile());

    // A JPEG 2000 picture coded without loss becomes PNG of the same pixels; a lossy one becomes JPEG.
    const std::unique_ptr<ComicReader> lossless = ComicReader::Open(PathIn("jpeg2000.pdf"));
    const ComicPage losslessPage = lossless->List().pages.value(0);
    EXPECT_EQ(losslessPage.info.kind, PictureKind::Png);
    EXPECT_EQ(Pixels(lossless->Read(losslessPage.member)), Pixels(ReadTestFile(PathIn("colour.png"))));
    const std::unique_ptr<ComicReader> lossy = ComicReader::Open(PathIn("jpeg2000-lossy.pdf"));
    const ComicPage lossyPage = lossy->List().pages.value(0);
    EXPECT_EQ(lossyPage.info.kind, PictureKind::Jpeg);
    const QByteArray jpeg = lossy->Read(lossyPage.member);
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(Pixels(jpeg).size(), QSize(61, 48));
}

TEST_F(ComicPdfTest, APdfWithAPageThatIsNotOnePictureIsRefusedNamingThePageAndWhy)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"text", "it holds text"},
        {"shapes", "it holds drawn shapes"},
        {"two-pictures", "it holds several pictures"},
        {"jbig2", "its picture is a JBIG2 picture, which this program does not take out"},
        {"ccitt", "its picture is a CCITT fax picture, which this program does not take out"},
        {"margins", "its picture does not fill the page"},
    };
    for (const auto& [kind, reason] : cases) {
        const QString path = PathIn(kind + ".pdf");
        Make({"pdf", kind, path, PathIn("page.jpg")});
        EXPECT_EQ(Refusal(path), path + " \u203A page 2 (not a single picture: " + reason + ")");
    }

    // ImageMagick keeps a picture's transparency as a mask beside it.
    Run("convert -size 40x30 xc:none -fill red -draw 'circle 20,15 20,5' PDFA:see-through.pdf");
    EXPECT_EQ(Refusal(PathIn("see-through.pdf")),
              PathIn("see-through.pdf") + " \u203A page 1 (not a single picture: its picture has see-through parts)");

    Run("img2pdf page.jpg -o whole.pdf && qpdf --encrypt user owner 256 -- whole.pdf password.pdf "
        "&& head -c $(( $(stat -c %s whole.pdf) / 2 )) whole.pdf > cut.pdf");
    EXPECT_EQ(Refusal(PathIn("password.pdf")), PathIn("password.pdf") + " (protected by a password)");
    const QString cut = Refusal(PathIn("cut.pdf"));
    EXPECT_TRUE(cut.startsWith(PathIn("cut.pdf")) && cut.contains("damaged")) << cut.toStdString();
}

}  // namespace
