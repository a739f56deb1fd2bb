#include "builder/book_settings.h"
#include "builder/package_document.h"
#include "builder/product.h"
#include "tests/builder/document_text.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 7);

// The metadata lines every book has, for a title, an author and the en-US locale, whose short date
// form is month/day/two-digit year.
QStringList MetadataLines(const QString& titleLine, const QString& creatorLine)
{
    return {
        "\t<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\">",
        titleLine,
        creatorLine,
        "\t\t<dc:subject></dc:subject>",
        "\t\t<dc:description></dc:description>",
        "\t\t<dc:contributor></dc:contributor>",
        "\t\t<dc:date>12/7/26</dc:date>",
        "\t\t<dc:type>[type]</dc:type>",
        "\t\t<dc:format></dc:format>",
        "\t\t<dc:identifier opf:scheme=\"ISBN\"></dc:identifier>",
        "\t\t<dc:source>" + kHomePageAddress + "</dc:source>",
        "\t\t<dc:language>en-US</dc:language>",
        "\t\t<dc:relation></dc:relation>",
        "\t\t<dc:coverage></dc:coverage>",
        "\t\t<dc:rights>" + kRightsNotice + "</dc:rights>",
        "\t\t<meta name=\"cover\" content=\"cover-image\"></meta>",
        "\t</metadata>",
    };
}

const QString kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
const QString kPackageStart =
    "<package xmlns=\"http://www.idpf.org/2007/opf\" unique-identifier=\"BookId\" version=\"2.0\">";

class PackageDocumentTest : public TempFolderTest {
protected:
    QByteArray Write(int pageCount, const BookSettings& settings, const QString& coverName = {})
    {
        WritePackageDocument(pageCount, settings, coverName, Root(), kToday);
        return ReadTestFile(PathIn("fb.opf"));
    }
};

TEST_F(PackageDocumentTest, ThreePagesWithoutCover)
{
    const QByteArray expected =
        CrLfLines(QStringList{kDeclaration, kPackageStart} +
                  MetadataLines("\t\t<dc:title>My Book</dc:title>",
                                "\t\t<dc:creator opf:role=\"aut\">Ann Author</dc:creator>") +
                  QStringList{
                      "\t<manifest>",
                      "\t\t<item id=\"style\" href=\"stylesheet.css\" media-type=\"text/css\"/>",
                      "\t\t<item id=\"ncx\" href=\"fb.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                      "\t\t<item id=\"page1\" href=\"page1.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page2\" href=\"page2.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page3\" href=\"page3.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t</manifest>",
                      "\t<spine toc=\"ncx\">",
                      "\t\t<itemref idref=\"page1\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page2\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page3\" linear=\"yes\"/>",
                      "\t</spine>",
                      "\t<guide/>",
                      "</package>",
                  });
    EXPECT_EQ(Write(3, {"My Book", "Ann Author", "", "/out"}), expected);
}

TEST_F(PackageDocumentTest, CoverAndTwoPages)
{
    const QByteArray expected =
        CrLfLines(QStringList{kDeclaration, kPackageStart} +
                  MetadataLines("\t\t<dc:title>T</dc:title>", "\t\t<dc:creator opf:role=\"aut\">A</dc:creator>") +
                  QStringList{
                      "\t<manifest>",
                      "\t\t<item id=\"style\" href=\"stylesheet.css\" media-type=\"text/css\"/>",
                      "\t\t<item id=\"ncx\" href=\"fb.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                      "\t\t<item id=\"cover\" href=\"cover.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"cover-image\" href=\"front.jpg\" media-type=\"image/jpeg\"/>",
                      "\t\t<item id=\"page1\" href=\"page1.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page2\" href=\"page2.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t</manifest>",
                      "\t<spine toc=\"ncx\">",
                      "\t\t<itemref idref=\"cover\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page1\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page2\" linear=\"yes\"/>",
                      "\t</spine>",
                      "\t<guide>",
                      "\t\t<reference href=\"front.jpg\" title=\"cover\" type=\"cover\"/>",
                      "\t</guide>",
                      "</package>",
                  });
    EXPECT_EQ(Write(2, {"T", "A", "/art/front.jpg", "/out"}, "front.jpg"), expected);
}

TEST_F(PackageDocumentTest, EmptyTitleAndAuthorKeepStartAndEndTags)
{
    const QByteArray opf = Write(1, {"", "", "", ""});
    EXPECT_TRUE(opf.contains("\r\n\t\t<dc:title></dc:title>\r\n"));
    EXPECT_TRUE(opf.contains("\r\n\t\t<dc:creator opf:role=\"aut\"></dc:creator>\r\n"));
}

TEST_F(PackageDocumentTest, MarkupAndNonAsciiTextReadsBackAsTyped)
{
    const QString title = QString::fromUtf8("Caf\xC3\xA9 & <Friends>");
    const QString author = QString::fromUtf8("\xE5\xBC\xA0\xE4\xB8\x89");
    const QString cover = QString::fromUtf8("\xC3\xBC & \"a\".jpg");
    const QByteArray opf = Write(1, {title, author, "/x/" + cover, ""}, cover);
    EXPECT_TRUE(opf.contains("<dc:title>Caf\xC3\xA9 &amp; &lt;Friends&gt;</dc:title>"));

    const QString dc = "http://purl.org/dc/elements/1.1/";
    EXPECT_EQ(FirstElementText(opf, dc, "title"), title);
    EXPECT_EQ(FirstElementText(opf, dc, "creator"), author);
    EXPECT_EQ(FirstAttribute(opf, "reference", "href"), cover);
}

TEST_F(PackageDocumentTest, TwelvePagesCountInPlainDecimal)
{
    const QByteArray opf = Write(12, {"T", "A", "", ""});
    EXPECT_TRUE(opf.contains(
        "\t\t<item id=\"page9\" href=\"page9.html\" media-type=\"application/xhtml+xml\"/>\r\n"
        "\t\t<item id=\"page10\" href=\"page10.html\" media-type=\"application/xhtml+xml\"/>\r\n"));
    EXPECT_TRUE(opf.contains("\t\t<itemref idref=\"page12\" linear=\"yes\"/>\r\n\t</spine>\r\n"));
    EXPECT_FALSE(opf.contains("page13"));
}

TEST_F(PackageDocumentTest, NoPagesLeavesAnEmptySpineAndASecondWriteReplacesTheFile)
{
    Write(12, {"A long title that makes the file longer", "A", "/c.jpg", ""}, "c.jpg");
    const QByteArray opf = Write(0, {"T", "A", "", ""});
    EXPECT_TRUE(opf.contains("\t<spine toc=\"ncx\"/>\r\n\t<guide/>\r\n</package>\r\n"));
    EXPECT_TRUE(opf.endsWith("</package>\r\n"));
    EXPECT_FALSE(opf.contains("page1"));
    EXPECT_FALSE(opf.contains("A long title"));
}

TEST_F(PackageDocumentTest, CoverPathOfOnlyABlankStillCountsAsACover)
{
    const QByteArray opf = Write(1, {"T", "A", " ", ""}, " ");
    EXPECT_TRUE(opf.contains("<item id=\"cover-image\" href=\" \" media-type=\"image/jpeg\"/>"));
    EXPECT_TRUE(opf.contains("<itemref idref=\"cover\" linear=\"yes\"/>"));
}

}  // namespace
