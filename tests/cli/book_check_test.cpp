// Books made by tamboril-cli, read by the tools and readers people use: epubcheck, MuPDF, Python's
// zipfile, Info-ZIP's unzip and file.
#include "tests/cli/cli_program.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class BookCheckTest : public TempFolderTest {
protected:
    // A picture of one flat colour.
    QString Picture(const QString& relativePath, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = PathIn(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(image.save(path, "JPEG", 95)) << path.toStdString();
        return path;
    }

    // Runs tamboril-cli with the locale `lang` (LC_ALL unset), writing the book "T" into the
    // folder "out"; returns the book's path.
    QString MakeBook(const QStringList& arguments, const QString& lang = "en_US.UTF-8")
    {
        QString output;
        QString errors;
        const int status = RunProgram(
            "env",
            QStringList{"-u", "LC_ALL", "LANG=" + lang, CliProgram(), "-t", "T", "-a", "Ann", "-o", PathIn("out")}
                + arguments,
            &output, &errors);
        EXPECT_EQ(status, 0) << errors.toStdString();
        return PathIn("out/T.epub");
    }

    // The pictures of the odd names that people's folders hold, in one folder.
    QStringList OddlyNamedPictures()
    {
        QStringList pictures;
        for (const char* name : {"a&b.jpg", "hash#1.jpg", "pct%41.jpg", "with space.jpg", ".leading dot.jpg",
                                 "caf\u00e9 cr\u00e8me.jpg", "\u65e5\u672c\u8a9e.jpg", "one/x.jpg", "two/x.jpg"}) {
            pictures << Picture(QString("odd/") + name, {40, 30}, Qt::darkCyan);
        }
        return pictures;
    }
};

// Runs epubcheck on the book. Every error or warning fails the test, except the warnings about
// the person's own file names that the book keeps: spaces (PKG-010) and letters outside ASCII
// (PKG-012).
void ExpectEpubcheckFindsNothing(const QString& book)
{
    QString output;
    QString errors;
    RunProgram("java", {"-jar", "/usr/share/java/epubcheck.jar", book}, &output, &errors);
    const QString report = output + errors;
    ASSERT_TRUE(report.contains("EPUBCheck completed")) << report.toStdString();
    const QRegularExpression finding(R"(^(FATAL|ERROR|WARNING)\(([A-Z]+-\d+)\).*$)",
                                     QRegularExpression::MultilineOption);
    for (auto match = finding.globalMatch(report); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        const bool aboutTheNames =
            m.captured(1) == "WARNING" && (m.captured(2) == "PKG-010" || m.captured(2) == "PKG-012");
        EXPECT_TRUE(aboutTheNames) << m.captured(0).toStdString();
    }
}

TEST_F(BookCheckTest, EpubcheckFindsNothingInABookWithCoverAndThreePages)
{
    const QString samples = SourceFolder() + "/samples/";
    ExpectEpubcheckFindsNothing(
        MakeBook({"-c", samples + "cover.jpg", samples + "page1.jpg", samples + "page2.jpg", samples + "page3.jpg"}));
}

TEST_F(BookCheckTest, EpubcheckFindsNothingInABookWithoutCoverInABritishLocale)
{
    ExpectEpubcheckFindsNothing(MakeBook({Picture("a.jpg", {60, 80}, Qt::red)}, "en_GB.UTF-8"));
}

TEST_F(BookCheckTest, EpubcheckFindsNothingInABookOfTwoHundredPagesInAGermanLocale)
{
    const QString first = Picture("many/page1.jpg", {20, 20}, Qt::blue);
    for (int page = 2; page <= 200; ++page) {
        ASSERT_TRUE(QFile::copy(first, PathIn(QString("many/page%1.jpg").arg(page))));
    }
    ExpectEpubcheckFindsNothing(MakeBook({PathIn("many")}, "de_DE.UTF-8"));
}

TEST_F(BookCheckTest, EpubcheckFindsNothingInOddNamesStagedOnTmpfsWithoutALanguage)
{
    // Staging on tmpfs, whose listing yields the names in another order than a disk's.
    QTemporaryDir tmpfs("/dev/shm/tamboril-test-XXXXXX");
    ASSERT_TRUE(tmpfs.isValid());
    ExpectEpubcheckFindsNothing(
        MakeBook(QStringList{"--staging", tmpfs.path() + "/staging"} + OddlyNamedPictures(), "C"));
}

TEST_F(BookCheckTest, EpubcheckFindsNothingInOddNamesWithACoverInTheCUtf8Locale)
{
    const QString cover = Picture("cover.jpg", {30, 40}, Qt::yellow);
    ExpectEpubcheckFindsNothing(MakeBook(QStringList{"-c", cover} + OddlyNamedPictures(), "C.UTF-8"));
}

// Python's zipfile: the names of every entry, whether the mimetype entry comes first and stored,
// and whether every entry's CRC holds.
const char* const kZipfileReport = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book:
    print(book.testzip())
    first = book.infolist()[0]
    print(first.filename, first.compress_type, len(first.extra), book.read(first).decode())
    for e in book.infolist():
        print(e.filename)
)";

TEST_F(BookCheckTest, ZipToolsReadEveryNameAsThePictureWasNamedAndKnowTheBookByItsFirstBytes)
{
    const QString book = MakeBook(OddlyNamedPictures());
    const QStringList expected = {"META-INF/container.xml",
                                  "OEBPS/a&b.jpg",
                                  "OEBPS/caf\u00e9 cr\u00e8me.jpg",
                                  "OEBPS/fb.ncx",
                                  "OEBPS/fb.opf",
                                  "OEBPS/hash_1.jpg",
                                  "OEBPS/leading dot.jpg",
                                  "OEBPS/page1.html",
                                  "OEBPS/page2.html",
                                  "OEBPS/page3.html",
                                  "OEBPS/page4.html",
                                  "OEBPS/page5.html",
                                  "OEBPS/page6.html",
                                  "OEBPS/page7.html",
                                  "OEBPS/page8.html",
                                  "OEBPS/page9.html",
                                  "OEBPS/pct%41.jpg",
                                  "OEBPS/stylesheet.css",
                                  "OEBPS/with space.jpg",
                                  "OEBPS/x-2.jpg",
                                  "OEBPS/x.jpg",
                                  "OEBPS/\u65e5\u672c\u8a9e.jpg",
                                  "mimetype"};

    QString report;
    QString errors;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kZipfileReport, book}, &report, &errors), 0) << errors.toStdString();
    QStringList lines = report.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.takeFirst(), "None") << "every CRC holds";
    EXPECT_EQ(lines.takeFirst(), "mimetype 0 0 application/epub+zip") << "first, stored, without extra field";
    lines.sort();
    EXPECT_EQ(lines, expected);

    // unzip shows names in the locale's encoding; C.UTF-8 is the UTF-8 locale every system has.
    QString listing;
    EXPECT_EQ(RunProgram("env", {"LANG=C.UTF-8", "unzip", "-Z1", book}, &listing), 0);
    QStringList unzipNames = listing.split('\n', Qt::SkipEmptyParts);
    unzipNames.sort();
    EXPECT_EQ(unzipNames, expected);
    EXPECT_EQ(RunProgram("unzip", {"-tq", book}), 0);

    QString mediaType;
    EXPECT_EQ(RunProgram("file", {"-b", "--mime-type", book}, &mediaType), 0);
    EXPECT_EQ(mediaType.trimmed(), "application/epub+zip");
}

// Where the picture's colour lies on a rendered page.
QRect AreaOfColour(const QImage& page, QColor colour)
{
    QRect area;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            const int distance = std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green())
                                 + std::abs(pixel.blue() - colour.blue());
            if (distance < 60) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

TEST_F(BookCheckTest, MupdfShowsEveryPageWithItsOwnPictureFillingThePage)
{
    struct Shown {
        QString name;
        QSize size;
        QColor colour;
    };
    const QList<Shown> pictures = {{"cover.jpg", {300, 400}, QColor(230, 200, 30)},
                                   {"small.jpg", {50, 50}, QColor(220, 30, 30)},
                                   {"tall.jpg", {1200, 1800}, QColor(30, 190, 30)},
                                   {"wide.jpg", {1800, 1200}, QColor(30, 30, 220)}};
    QStringList arguments;
    for (const Shown& picture : pictures) {
        const QString path = Picture("in/" + picture.name, picture.size, picture.colour);
        arguments << (picture.name == "cover.jpg" ? QStringList{"-c", path} : QStringList{path});
    }
    const QString book = MakeBook(arguments);
    ASSERT_TRUE(QDir().mkpath(PathIn("shown")));
    QString errors;
    ASSERT_EQ(RunProgram("mutool", {"draw", "-F", "png", "-o", PathIn("shown/page%d.png"), book}, nullptr, &errors), 0)
        << errors.toStdString();

    // One rendered page per page document, in reading order: the cover, then the pages.
    ASSERT_EQ(FolderNames(PathIn("shown")).size(), pictures.size());
    for (qsizetype page = 0; page < pictures.size(); ++page) {
        const Shown& picture = pictures[page];
        SCOPED_TRACE(picture.name.toStdString());
        const QImage rendered(PathIn(QString("shown/page%1.png").arg(page + 1)));
        ASSERT_FALSE(rendered.isNull());
        const QRect area = AreaOfColour(rendered, picture.colour);
        ASSERT_FALSE(area.isEmpty()) << "the page does not show its picture";
        // The picture fills the page's width or its height, with its own proportions.
        EXPECT_TRUE(area.width() >= rendered.width() - 2 || area.height() >= rendered.height() - 2)
            << area.width() << " x " << area.height() << " on " << rendered.width() << " x " << rendered.height();
        const double shownRatio = double(area.width()) / area.height();
        const double pictureRatio = double(picture.size.width()) / picture.size.height();
        EXPECT_NEAR(shownRatio, pictureRatio, pictureRatio * 0.02);
    }
}

// For every picture of the book's manifest: its name, its media type, and what its bytes are.
const char* const kPictureKindsReport = R"(
import sys, urllib.parse, zipfile, xml.etree.ElementTree as ET
with zipfile.ZipFile(sys.argv[1]) as book:
    package = ET.fromstring(book.read('OEBPS/fb.opf'))
    for item in package.iter('{http://www.idpf.org/2007/opf}item'):
        if item.get('media-type').startswith('image/'):
            name = urllib.parse.unquote(item.get('href'))
            data = book.read('OEBPS/' + name)
            kind = ('image/jpeg' if data[:3] == b'\xff\xd8\xff' else 'image/png' if data[:8] == b'\x89PNG\r\n\x1a\n'
                    else 'image/gif' if data[:6] in (b'GIF87a', b'GIF89a') else 'unknown')
            print(name + '|' + item.get('media-type') + '|' + kind)
)";

// The part of a rendered page that is not white: the picture it shows.
QImage PictureOnPage(const QImage& page)
{
    QRect area;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            if (pixel.red() < 235 || pixel.green() < 235 || pixel.blue() < 235) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return page.copy(area);
}

TEST_F(BookCheckTest, PicturesOfEveryKindAndNameBecomeUprightPagesOfTheKindsABookHolds)
{
    // Whole blocks of 16 x 16, so that a JPEG picture turns without loss.
    const QSize size(64, 48);
    const std::array<int, 4> upright = {0, 1, 2, 3};
    struct Page {
        QString path;
        std::array<int, 4> corners;  // the stored quadrant shown at the top left, top right, bottom left, bottom right
    };
    const auto page = [this](const QString& relativePath, const QByteArray& bytes, std::array<int, 4> corners) {
        WriteTestFile(PathIn(relativePath), bytes);
        return Page{PathIn(relativePath), corners};
    };
    const QList<QString> kindNames = {"kind01.jpg",  "kind02.jpg",  "kind03.png",  "kind04.gif", "kind05.heic",
                                      "kind06.avif", "kind07.webp", "kind08.webp", "kind09.tif", "kind10.bmp"};
    const std::vector<TestPicture> kinds = MakeEveryKind(size, PathIn("made"));
    ASSERT_EQ(kinds.size(), static_cast<std::size_t>(kindNames.size()));
    QList<Page> pages;
    for (qsizetype kind = 0; kind < kindNames.size(); ++kind) {
        pages << page("in/" + kindNames[kind], kinds[static_cast<std::size_t>(kind)].bytes, upright);
    }
    // Phone photos whose camera marks them to be turned.
    pages << page("in/turned3.jpg", WithExifOrientation(MakeTestJpeg(size), 3), {3, 2, 1, 0})
          << page("in/turned6.jpg", WithExifOrientation(MakeTestJpeg(size), 6), {2, 0, 3, 1})
          << page("in/turned8.jpg", WithExifOrientation(MakeTestJpeg(size), 8), {1, 3, 0, 2});
    // A PNG picture saved under a JPEG picture's name, and names that differ only in case or in how their
    // accents are written, which a book must tell apart as one name.
    const QByteArray png = kinds[2].bytes;
    const QString composed = QString::fromUtf8("\xC3\xB6");     // ö as one character
    const QString decomposed = QString::fromUtf8("o\xCC\x88");  // o and a combining diaeresis
    pages << page("in/download.jpg", png, upright)
          << page(QString::fromUtf8("a/\xC3\x89.jpg"), MakeTestJpeg(size), upright)
          << page(QString::fromUtf8("b/\xC3\xA9.jpg"), MakeTestJpeg(size), upright)
          << page("c/" + composed + ".jpg", MakeTestJpeg(size), upright)
          << page("d/" + decomposed + ".jpg", MakeTestJpeg(size), upright);
    const Page cover = page("in/cover.png", png, upright);

    QStringList arguments = {"-c", cover.path};
    for (const Page& shown : pages) {
        arguments << shown.path;
    }
    const QString book = MakeBook(arguments);
    ExpectEpubcheckFindsNothing(book);

    // Every picture is of the media type the book gives it, named with its extension.
    QString report;
    QString errors;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kPictureKindsReport, book}, &report, &errors), 0)
        << errors.toStdString();
    QStringList pictures = report.split('\n', Qt::SkipEmptyParts);
    pictures.sort();
    const QString jpeg = "|image/jpeg|image/jpeg";
    const QString pngKind = "|image/png|image/png";
    QStringList expected = {"cover.png" + pngKind,
                            "download.png" + pngKind,
                            "kind01.jpg" + jpeg,
                            "kind02.jpg" + jpeg,
                            "kind03.png" + pngKind,
                            "kind04.gif|image/gif|image/gif",
                            "kind05.jpg" + jpeg,
                            "kind06.jpg" + jpeg,
                            "kind07.jpg" + jpeg,
                            "kind08.png" + pngKind,
                            "kind09.png" + pngKind,
                            "kind10.png" + pngKind,
                            "turned3.jpg" + jpeg,
                            "turned6.jpg" + jpeg,
                            "turned8.jpg" + jpeg,
                            QString::fromUtf8("\xC3\x89.jpg") + jpeg,
                            QString::fromUtf8("\xC3\xA9-2.jpg") + jpeg,
                            composed + ".jpg" + jpeg,
                            composed + "-2.jpg" + jpeg};
    expected.sort();
    EXPECT_EQ(pictures, expected);

    // MuPDF shows each page with its picture upright, in the cover's and the pages' order.
    ASSERT_TRUE(QDir().mkpath(PathIn("shown")));
    ASSERT_EQ(RunProgram("mutool", {"draw", "-F", "png", "-o", PathIn("shown/page%d.png"), book}, nullptr, &errors), 0)
        << errors.toStdString();
    const QList<Page> shownInOrder = QList<Page>{cover} + pages;
    ASSERT_EQ(FolderNames(PathIn("shown")).size(), shownInOrder.size());
    for (qsizetype at = 0; at < shownInOrder.size(); ++at) {
        SCOPED_TRACE(shownInOrder[at].path.toStdString());
        const QImage picture = PictureOnPage(QImage(PathIn(QString("shown/page%1.png").arg(at + 1))));
        ASSERT_FALSE(picture.isNull());
        EXPECT_TRUE(ShowsQuadrantsAt(picture, shownInOrder[at].corners, 24));
    }
}

// For every page of a fixed-layout book's spine, in reading order: its page document, its side of a spread, the
// viewport it declares, and the size and name of its picture.
const char* const kFixedPagesReport = R"py(
import re, sys, zipfile, xml.etree.ElementTree as ET
opf = '{http://www.idpf.org/2007/opf}'
with zipfile.ZipFile(sys.argv[1]) as book:
    package = ET.fromstring(book.read('OEBPS/fb.opf'))
    hrefs = {item.get('id'): item.get('href') for item in package.iter(opf + 'item')}
    spine = package.find(opf + 'spine')
    print(spine.get('page-progression-direction'))
    for itemref in spine.iter(opf + 'itemref'):
        page = book.read('OEBPS/' + hrefs[itemref.get('idref')]).decode()
        viewport = re.search(r'name="viewport" content="width=(\d+), height=(\d+)"', page)
        img = re.search(r'<img src="([^"]*)" width="(\d+)" height="(\d+)"', page)
        print(hrefs[itemref.get('idref')], itemref.get('properties'), viewport.group(1) + 'x' + viewport.group(2),
              img.group(2) + 'x' + img.group(3), img.group(1))
)py";

// The compression method and name of every entry of a book.
const char* const kEntryMethodsReport = R"py(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book:
    for entry in book.infolist():
        print(entry.compress_type, entry.filename)
)py";

QStringList FixedPages(const QString& book)
{
    QString report;
    QString errors;
    EXPECT_EQ(RunProgram(PythonProgram(), {"-c", kFixedPagesReport, book}, &report, &errors), 0)
        << errors.toStdString();
    return report.split('\n', Qt::SkipEmptyParts);
}

TEST_F(BookCheckTest, FixedBooksPassEpubcheckAndPairFacingPagesInEitherDirection)
{
    const QString cover = Picture("cover.jpg", {300, 400}, Qt::yellow);
    const QString tall = Picture("tall.jpg", {600, 800}, Qt::red);
    const QString wide = Picture("wide.jpg", {1600, 800}, Qt::blue);
    QString book = MakeBook({"--layout", "fixed", "-c", cover, tall, tall, tall, wide, tall}, "C");
    ExpectEpubcheckFindsNothing(book);
    // The cover alone on the recto, then pairs; the wide page a spread of its own, and a new pair after it.
    EXPECT_EQ(FixedPages(book), QStringList({"ltr", "cover.xhtml page-spread-right 300x400 300x400 cover.jpg",
                                             "page1.xhtml page-spread-left 600x800 600x800 tall.jpg",
                                             "page2.xhtml page-spread-right 600x800 600x800 tall.jpg",
                                             "page3.xhtml page-spread-left 600x800 600x800 tall.jpg",
                                             "page4.xhtml rendition:page-spread-center 1600x800 1600x800 wide.jpg",
                                             "page5.xhtml page-spread-left 600x800 600x800 tall.jpg"}));

    // Right to left, in a German locale, with pictures of odd names (all wider than tall): the sides mirrored.
    book = MakeBook(QStringList{"-y", "--layout", "fixed", "--right-to-left", "-c", cover, tall, tall}
                        + OddlyNamedPictures(),
                    "de_DE.UTF-8");
    ExpectEpubcheckFindsNothing(book);
    const QStringList pages = FixedPages(book);
    ASSERT_EQ(pages.size(), 13);
    EXPECT_EQ(pages[0], "rtl");
    EXPECT_TRUE(pages[1].startsWith("cover.xhtml page-spread-left ")) << pages[1].toStdString();
    EXPECT_TRUE(pages[2].startsWith("page1.xhtml page-spread-right ")) << pages[2].toStdString();
    EXPECT_TRUE(pages[3].startsWith("page2.xhtml page-spread-left ")) << pages[3].toStdString();
    EXPECT_EQ(pages[5], "page4.xhtml rendition:page-spread-center 40x30 40x30 hash_1.jpg");
}

TEST_F(BookCheckTest, FixedPagesTakeTheSizeTheirPicturesAreShownAtWhateverTheirKind)
{
    // Portrait pictures of every kind, and a photo stored landscape that its camera marked to be turned.
    const QSize size(48, 64);
    const std::vector<TestPicture> kinds = MakeEveryKind(size, PathIn("made"));
    QStringList arguments = {"--layout", "fixed"};
    for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
        arguments << PathIn(QString("in/kind%1").arg(kind));
        WriteTestFile(arguments.last(), kinds[kind].bytes);
    }
    arguments << PathIn("in/turned6.jpg");
    WriteTestFile(arguments.last(), WithExifOrientation(MakeTestJpeg({64, 48}), 6));
    const QString book = MakeBook(arguments);
    ExpectEpubcheckFindsNothing(book);

    const QStringList pages = FixedPages(book).mid(1);
    ASSERT_EQ(pages.size(), static_cast<qsizetype>(kinds.size()) + 1);
    for (const QString& page : pages) {
        EXPECT_TRUE(page.contains(" 48x64 48x64 ")) << page.toStdString();
    }

    // The pictures are stored as they are; the documents are deflated, the mimetype stored.
    QString methods;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kEntryMethodsReport, book}, &methods), 0);
    for (const QString& line : methods.split('\n', Qt::SkipEmptyParts)) {
        const bool stored = QRegularExpression(R"(\.(jpg|png|gif)$| mimetype$)").match(line).hasMatch();
        EXPECT_TRUE(line.startsWith(stored ? "0 " : "8 ")) << line.toStdString();
    }

    // MuPDF shows each page's picture with the proportions of the page.
    ASSERT_TRUE(QDir().mkpath(PathIn("shown")));
    QString errors;
    ASSERT_EQ(RunProgram("mutool", {"draw", "-F", "png", "-o", PathIn("shown/page%d.png"), book}, nullptr, &errors), 0)
        << errors.toStdString();
    ASSERT_EQ(FolderNames(PathIn("shown")).size(), pages.size());
    for (qsizetype page = 1; page <= pages.size(); ++page) {
        const QImage picture = PictureOnPage(QImage(PathIn(QString("shown/page%1.png").arg(page))));
        ASSERT_FALSE(picture.isNull());
        EXPECT_NEAR(double(picture.width()) / picture.height(), 0.75, 0.03) << pages[page - 1].toStdString();
    }
}

TEST_F(BookCheckTest, CalibreReadsTheTitleAuthorAndCoverOfAFixedBook)
{
    if (QStandardPaths::findExecutable("ebook-meta").isEmpty()) {
        GTEST_SKIP() << "calibre's ebook-meta is not installed (Debian package calibre)";
    }
    const QString book = MakeBook({"--layout", "fixed", "-c", Picture("front.jpg", {300, 400}, Qt::yellow),
                                   Picture("page.jpg", {300, 400}, Qt::red)});
    QString metadata;
    QString errors;
    ASSERT_EQ(RunProgram("ebook-meta", {book, "--get-cover", PathIn("cover.jpg")}, &metadata, &errors), 0)
        << errors.toStdString();
    EXPECT_TRUE(metadata.contains(QRegularExpression(R"(Title\s*:\s*T\n)"))) << metadata.toStdString();
    EXPECT_TRUE(metadata.contains(QRegularExpression(R"(Author\(s\)\s*:\s*Ann)"))) << metadata.toStdString();
    const QImage cover(PathIn("cover.jpg"));
    EXPECT_EQ(cover.size(), QSize(300, 400));
    EXPECT_EQ(AreaOfColour(cover, Qt::yellow), QRect(0, 0, 300, 400));
}

}  // namespace

// Each kind of book holds exactly its own files, each compressed as its kind packs it: the mimetype first and
// stored; the flowing book deflates everything else, the fixed book stores its pictures and deflates its documents.
TEST_F(BookCheckTest, EachKindOfBookHoldsItsFilesCompressedAsItsKindPacksThem)
{
    const std::vector<TestPicture> kinds = MakeEveryKind({32, 24}, PathIn("made"));
    QStringList pictures;
    for (const auto& [name, kind] :
         {std::pair{"a.jpg", 0}, std::pair{"b.png", 2}, std::pair{"c.gif", 3}, std::pair{"d.heic", 4}}) {
        pictures << PathIn(QString("in/") + name);
        WriteTestFile(pictures.last(), kinds[static_cast<std::size_t>(kind)].bytes);
    }
    const auto entries = [](const QString& book) {
        QString methods;
        EXPECT_EQ(RunProgram(PythonProgram(), {"-c", kEntryMethodsReport, book}, &methods), 0);
        QStringList lines = methods.split('\n', Qt::SkipEmptyParts);
        EXPECT_FALSE(lines.isEmpty());
        const QString first = lines.isEmpty() ? QString() : lines.takeFirst();
        lines.sort();
        return QStringList{first} + lines;
    };
    const QStringList common = {"8 META-INF/container.xml", "8 OEBPS/fb.ncx", "8 OEBPS/fb.opf"};
    const QString cover = PathIn("in/a.jpg");

    QStringList flowing = common;
    flowing << "8 OEBPS/a.jpg"
            << "8 OEBPS/b.png"
            << "8 OEBPS/c.gif"
            << "8 OEBPS/cover.html"
            << "8 OEBPS/d.jpg"
            << "8 OEBPS/page1.html"
            << "8 OEBPS/page2.html"
            << "8 OEBPS/page3.html"
            << "8 OEBPS/page4.html"
            << "8 OEBPS/stylesheet.css";
    flowing.sort();
    EXPECT_EQ(entries(MakeBook(QStringList{"-c", cover} + pictures)), QStringList{"0 mimetype"} + flowing);

    QStringList fixed = common;
    fixed << "0 OEBPS/a.jpg"
          << "0 OEBPS/b.png"
          << "0 OEBPS/c.gif"
          << "8 OEBPS/cover.xhtml"
          << "0 OEBPS/d.jpg"
          << "8 OEBPS/nav.xhtml"
          << "8 OEBPS/page1.xhtml"
          << "8 OEBPS/page2.xhtml"
          << "8 OEBPS/page3.xhtml"
          << "8 OEBPS/page4.xhtml";
    fixed.sort();
    EXPECT_EQ(entries(MakeBook(QStringList{"-y", "--layout", "fixed", "-c", cover} + pictures)),
              QStringList{"0 mimetype"} + fixed);
}

// A damaged picture fails the run of every kind of book, named with what is wrong, and no book is written; a picture
// named of full stops and an extension keeps its extension in the book.
TEST_F(BookCheckTest, ADamagedPictureFailsEveryKindOfBookAndNamesOfDotsKeepTheirExtension)
{
    QRandomGenerator noise(5);
    QByteArray rows(1000, Qt::Uninitialized);
    noise.fillRange(reinterpret_cast<quint32*>(rows.data()), rows.size() / 4);
    const QList<std::pair<QString, QByteArray>> damaged = {
        {"zeroed.jpg", Zeroed(MakePhotoJpeg({1200, 900}))},
        {"flipped.png", WithPixelByteChanged(MakeEveryKind({16, 16}, PathIn("made"))[2].bytes)},
        {"huge.png", PngOf({100000, 100000}, rows)},
        {"huge.gif", OnePixelGif({65535, 65535})},
    };
    const QString good = Picture("good.jpg", {40, 30}, Qt::red);
    for (const auto& [name, bytes] : damaged) {
        const QString path = PathIn("damaged/" + name);
        WriteTestFile(path, bytes);
        for (const QString layout : {"flowing", "fixed", "cbz"}) {
            SCOPED_TRACE((name + " " + layout).toStdString());
            QString errors;
            const int status =
                RunProgram(CliProgram(), {"-t", "T", "-a", "Ann", "-o", PathIn("out"), "--layout", layout, good, path},
                           nullptr, &errors);
            EXPECT_EQ(status, 1);
            const QString book = PathIn("out/T") + (layout == "cbz" ? ".cbz" : ".epub");
            EXPECT_EQ(errors,
                      "Failed to build: " + book + "\nCannot read picture: " + path + " (the picture is damaged)\n");
            EXPECT_TRUE(FolderNames(PathIn("out")).isEmpty());
        }
    }

    QStringList dots;
    for (const char* name : {"..jpg", "...jpg", ".jpg"}) {
        dots << Picture(QString("dots/") + name, {40, 30}, Qt::blue);
    }
    WriteTestFile(PathIn("dots/..png"), MakeEveryKind({16, 16}, PathIn("made"))[2].bytes);
    dots << PathIn("dots/..png");
    for (const QString layout : {"flowing", "fixed"}) {
        SCOPED_TRACE(layout.toStdString());
        const QString book = MakeBook(QStringList{"-y", "--layout", layout} + dots);
        ExpectEpubcheckFindsNothing(book);
        QString entries;
        ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kEntryMethodsReport, book}, &entries), 0);
        QStringList pictures;
        for (const QString& line : entries.split('\n', Qt::SkipEmptyParts)) {
            if (line.endsWith(".jpg") || line.endsWith(".png")) {
                pictures << line.section(' ', 1);
            }
        }
        EXPECT_EQ(pictures, QStringList({"OEBPS/jpg.jpg", "OEBPS/jpg-2.jpg", "OEBPS/jpg-3.jpg", "OEBPS/png.png"}));
    }
}

// The book speaks the language it is given (English where the system names none), libraries show its first page
// when no cover is chosen, and they know the series it belongs to.
TEST_F(BookCheckTest, TheBookSpeaksItsLanguageHasItsFirstPageForCoverAndNamesItsSeries)
{
    const QString first = Picture("first.jpg", {300, 400}, Qt::yellow);
    const QString second = Picture("second.jpg", {300, 400}, Qt::red);
    const auto language = [](const QString& book) {
        QString opf;
        RunProgram("unzip", {"-p", book, "OEBPS/fb.opf"}, &opf);
        return QRegularExpression("<dc:language>([^<]*)</dc:language>").match(opf).captured(1);
    };
    for (const QString layout : {"flowing", "fixed"}) {
        SCOPED_TRACE(layout.toStdString());
        const QStringList kind = {"-y", "--layout", layout};
        QString book = MakeBook(kind + QStringList{first, second}, "C");
        EXPECT_EQ(language(book), "en");
        ExpectEpubcheckFindsNothing(book);
        EXPECT_EQ(language(MakeBook(kind + QStringList{first, second}, "ja_JP.UTF-8")), "ja-JP");
        book = MakeBook(kind + QStringList{"--language", "pt-BR", "--series", "Saga", "--number", "2", first, second});
        EXPECT_EQ(language(book), "pt-BR");
        ExpectEpubcheckFindsNothing(book);
        if (QStandardPaths::findExecutable("ebook-meta").isEmpty()) {
            continue;
        }
        QString metadata;
        ASSERT_EQ(RunProgram("ebook-meta", {book, "--get-cover", PathIn("cover.jpg")}, &metadata), 0);
        EXPECT_TRUE(metadata.contains(QRegularExpression(R"(Series\s*:\s*Saga #2)"))) << metadata.toStdString();
        const QImage cover(PathIn("cover.jpg"));
        EXPECT_EQ(AreaOfColour(cover, Qt::yellow), QRect(QPoint(0, 0), cover.size()));
    }
}
