#include "builder/epub/book_identity.h"
#include "builder/flowing/flowing_format.h"
#include "builder/flowing/package_document.h"
#include "builder/workflow/book_settings.h"
#include "common/product.h"
#include "tests/builder/document_text.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 7);

const QString kIdentifier = "urn:uuid:3f1c2a9e-8d4b-4c6f-9a2e-5b7d1e0c4a68";

// The metadata lines every book has, for a title, an author and the en-US locale, ending with the cover meta: the
// cover picture's item, or the first page's picture's in a book without a cover of its own.
QStringList MetadataLines(const QString& titleLine, const QString& creatorLine, bool withCover)
{
    QStringList lines = {
        "\t<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\">",
        titleLine,
        creatorLine,
        "\t\t<dc:subject></dc:subject>",
        "\t\t<dc:description></dc:description>",
        "\t\t<dc:contributor></dc:contributor>",
        "\t\t<dc:date>2026-12-07</dc:date>",
        "\t\t<dc:type></dc:type>",
        "\t\t<dc:format></dc:format>",
        "\t\t<dc:identifier id=\"BookId\" opf:scheme=\"UUID\">" + kIdentifier + "</dc:identifier>",
        "\t\t<dc:source>" + kHomePageAddress + "</dc:source>",
        "\t\t<dc:language>en-US</dc:language>",
        "\t\t<dc:relation></dc:relation>",
        "\t\t<dc:coverage></dc:coverage>",
        "\t\t<dc:rights></dc:rights>",
    };
    lines << QString("\t\t<meta name=\"cover\" content=\"%1\"></meta>").arg(withCover ? "cover-image" : "image1");
    return lines << "\t</metadata>";
}

const QString kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
const QString kPackageStart =
    "<package xmlns=\"http://www.idpf.org/2007/opf\" unique-identifier=\"BookId\" version=\"2.0\">";

class PackageDocumentTest : public TempFolderTest {
protected:
    // A book whose pages show the pictures named, and with a cover named `coverName` when the
    // settings have a cover; a picture named .png is a PNG picture, .gif a GIF one, any other a JPEG one.
    QByteArray Write(const QStringList& pageNames, const BookSettings& settings, const QString& coverName = {})
    {
        QHash<QString, QString> mediaTypes;
        for (const QString& name : pageNames + QStringList{coverName}) {
            mediaTypes[name] = name.endsWith(".png") ? "image/png" : name.endsWith(".gif") ? "image/gif" : "image/jpeg";
        }
        return WrittenBytes([&](QIODevice& out) {
            WritePackageDocument(out, settings, {pageNames, coverName, mediaTypes, {}}, kIdentifier, FlowingFormat(),
                                 kToday);
        });
    }

    // A book of `count` pages, each with a picture of its own.
    QByteArray Write(int count, const BookSettings& settings, const QString& coverName = {})
    {
        QStringList names;
        for (int page = 1; page <= count; ++page) {
            names << QString("p%1.jpg").arg(page);
        }
        return Write(names, settings, coverName);
    }
};

TEST_F(PackageDocumentTest, ThreePagesWithoutCover)
{
    // Every picture has an item; without a cover there is no guide, and the first page's picture is the cover.
    const QByteArray expected =
        CrLfLines(QStringList{kDeclaration, kPackageStart}
                  + MetadataLines("\t\t<dc:title>My Book</dc:title>",
                                  "\t\t<dc:creator opf:role=\"aut\">Ann Author</dc:creator>", false)
                  + QStringList{
                      "\t<manifest>",
                      "\t\t<item id=\"style\" href=\"stylesheet.css\" media-type=\"text/css\"/>",
                      "\t\t<item id=\"ncx\" href=\"fb.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                      "\t\t<item id=\"page1\" href=\"page1.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page2\" href=\"page2.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page3\" href=\"page3.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"image1\" href=\"a.jpg\" media-type=\"image/jpeg\"/>",
                      "\t\t<item id=\"image2\" href=\"b%20%231.png\" media-type=\"image/png\"/>",
                      "\t</manifest>",
                      "\t<spine toc=\"ncx\">",
                      "\t\t<itemref idref=\"page1\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page2\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page3\" linear=\"yes\"/>",
                      "\t</spine>",
                      "</package>",
                  });
    // The same picture on two pages is one file of the book, listed once, each with its own media type.
    EXPECT_EQ(Write(QStringList{"a.jpg", "b #1.png", "a.jpg"}, {"My Book", "Ann Author", "", "/out"}), expected);
}

TEST_F(PackageDocumentTest, CoverAndTwoPages)
{
    // The cover picture keeps its own item even when a page shows it too; the guide names the cover page.
    const QByteArray expected =
        CrLfLines(QStringList{kDeclaration, kPackageStart}
                  + MetadataLines("\t\t<dc:title>T</dc:title>", "\t\t<dc:creator opf:role=\"aut\">A</dc:creator>", true)
                  + QStringList{
                      "\t<manifest>",
                      "\t\t<item id=\"style\" href=\"stylesheet.css\" media-type=\"text/css\"/>",
                      "\t\t<item id=\"ncx\" href=\"fb.ncx\" media-type=\"application/x-dtbncx+xml\"/>",
                      "\t\t<item id=\"cover\" href=\"cover.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"cover-image\" href=\"fr%C3%B6nt.jpg\" media-type=\"image/jpeg\"/>",
                      "\t\t<item id=\"page1\" href=\"page1.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"page2\" href=\"page2.html\" media-type=\"application/xhtml+xml\"/>",
                      "\t\t<item id=\"image1\" href=\"p2.gif\" media-type=\"image/gif\"/>",
                      "\t</manifest>",
                      "\t<spine toc=\"ncx\">",
                      "\t\t<itemref idref=\"cover\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page1\" linear=\"yes\"/>",
                      "\t\t<itemref idref=\"page2\" linear=\"yes\"/>",
                      "\t</spine>",
                      "\t<guide>",
                      "\t\t<reference href=\"cover.html\" title=\"cover\" type=\"cover\"/>",
                      "\t</guide>",
                      "</package>",
                  });
    const QString front = QString::fromUtf8("fr\xC3\xB6nt.jpg");
    EXPECT_EQ(Write(QStringList{front, "p2.gif"}, {"T", "A", "/art/" + front, "/out"}, front), expected);
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
    const QByteArray opf = Write(1, {title, author, "", ""});
    EXPECT_TRUE(opf.contains("<dc:title>Caf\xC3\xA9 &amp; &lt;Friends&gt;</dc:title>"));

    const QString dc = "http://purl.org/dc/elements/1.1/";
    EXPECT_EQ(FirstElementText(opf, dc, "title"), title);
    EXPECT_EQ(FirstElementText(opf, dc, "creator"), author);
}

TEST_F(PackageDocumentTest, TwelvePagesCountInPlainDecimal)
{
    const QByteArray opf = Write(12, {"T", "A", "", ""});
    EXPECT_TRUE(
        opf.contains("\t\t<item id=\"page9\" href=\"page9.html\" media-type=\"application/xhtml+xml\"/>\r\n"
                     "\t\t<item id=\"page10\" href=\"page10.html\" media-type=\"application/xhtml+xml\"/>\r\n"));
    EXPECT_TRUE(opf.contains("\t\t<itemref idref=\"page12\" linear=\"yes\"/>\r\n\t</spine>\r\n"));
    EXPECT_FALSE(opf.contains("page13"));
}

TEST_F(PackageDocumentTest, NoPagesLeavesAnEmptySpineAndASecondWriteReplacesTheFile)
{
    Write(12, {"A long title that makes the file longer", "A", "/c.jpg", ""}, "c.jpg");
    const QByteArray opf = Write(0, {"T", "A", "", ""});
    EXPECT_TRUE(opf.contains("\t<spine toc=\"ncx\"/>\r\n</package>\r\n"));
    EXPECT_TRUE(opf.endsWith("</package>\r\n"));
    EXPECT_FALSE(opf.contains("page1"));
    EXPECT_FALSE(opf.contains("A long title"));
}

TEST_F(PackageDocumentTest, CoverPathOfOnlyABlankStillCountsAsACover)
{
    const QByteArray opf = Write(1, {"T", "A", " ", ""}, "_");
    EXPECT_TRUE(opf.contains("<item id=\"cover-image\" href=\"_\" media-type=\"image/jpeg\"/>"));
    EXPECT_TRUE(opf.contains("<itemref idref=\"cover\" linear=\"yes\"/>"));
}

}  // namespace

TEST(BookIdentityTest, TheIdentifierIsFoundWhereverItLiesInABigPackageDocument)
{
    const QByteArray uuid = "0f8fad5b-d9cb-469f-a165-70867728950e";
    // Metadata long enough that the identifier lies beyond the first 64 KiB, and its text across
    // the boundary of a later piece.
    const auto package = [&](qsizetype padding, const QByteArray& identifierElement) {
        return "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" unique-identifier=\"BookId\">"
               "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>"
               + QByteArray(padding, 'x') + "</dc:title>" + identifierElement + "</metadata></package>";
    };
    const QByteArray element = "<dc:identifier id=\"BookId\">urn:uuid:" + uuid + "</dc:identifier>";
    for (const qsizetype padding : {qsizetype(10), qsizetype(65536), qsizetype(2 * 65536 - 216)}) {
        EXPECT_EQ(UuidIdentifierOf(package(padding, element)), "urn:uuid:" + uuid) << padding;
    }
    // Another identifier than the unique one, markup inside it, and a document cut short name none.
    EXPECT_EQ(UuidIdentifierOf(package(70000, "<dc:identifier id=\"Other\">urn:uuid:" + uuid + "</dc:identifier>")),
              "");
    EXPECT_EQ(UuidIdentifierOf(package(10, "<dc:identifier id=\"BookId\">urn:uuid:<b/>" + uuid + "</dc:identifier>")),
              "");
    EXPECT_EQ(UuidIdentifierOf(package(70000, element).left(70050)), "");
}
