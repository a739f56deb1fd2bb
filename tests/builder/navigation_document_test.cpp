#include "builder/epub/navigation_document.h"
#include "builder/flowing/flowing_format.h"
#include "builder/workflow/book_settings.h"
#include "tests/builder/document_text.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

const QString kNcx = "http://www.daisy.org/z3986/2005/ncx/";
const QString kIdentifier = "urn:uuid:3f1c2a9e-8d4b-4c6f-9a2e-5b7d1e0c4a68";

// The lines before the navigation map, for a title, an author and the en-US locale.
QStringList HeadLines(const QString& title, const QString& author)
{
    return {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
        "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" xml:lang=\"en-US\">",
        "\t<head>",
        "\t\t<meta name=\"dtb:uid\" content=\"" + kIdentifier + "\"/>",
        "\t\t<meta name=\"dtb:depth\" content=\"1\"/>",
        "\t\t<meta name=\"dtb:totalPageCount\" content=\"0\"/>",
        "\t\t<meta name=\"dtb:maxPageNumber\" content=\"0\"/>",
        "\t</head>",
        "\t<docTitle>",
        "\t\t<text>" + title + "</text>",
        "\t</docTitle>",
        "\t<docAuthor>",
        "\t\t<text>" + author + "</text>",
        "\t</docAuthor>",
    };
}

QStringList NavPointLines(const QString& id, const QString& label, int playOrder, const QString& source)
{
    return {
        "\t\t<navPoint id=\"" + id + "\" playOrder=\"" + QString::number(playOrder) + "\">",
        "\t\t\t<navLabel>",
        "\t\t\t\t<text>" + label + "</text>",
        "\t\t\t</navLabel>",
        "\t\t\t<content src=\"" + source + "\"/>",
        "\t\t</navPoint>",
    };
}

class NavigationDocumentTest : public TempFolderTest {
protected:
    QByteArray Write(int pageCount, const BookSettings& settings)
    {
        return WrittenBytes(
            [&](QIODevice& out) { WriteNavigationDocument(out, pageCount, settings, kIdentifier, FlowingFormat()); });
    }
};

TEST_F(NavigationDocumentTest, ThreePagesWithoutCover)
{
    const QByteArray expected = CrLfLines(
        HeadLines("My Book", "Ann") + QStringList{"\t<navMap>"} + NavPointLines("page1", "Page 1", 1, "page1.html")
        + NavPointLines("page2", "Page 2", 2, "page2.html") + NavPointLines("page3", "Page 3", 3, "page3.html")
        + QStringList{"\t</navMap>", "</ncx>"});
    EXPECT_EQ(Write(3, {"My Book", "Ann", "", "/out"}), expected);
}

TEST_F(NavigationDocumentTest, CoverComesFirstAndPlayOrdersRunOnWithoutGaps)
{
    const QByteArray expected = CrLfLines(
        HeadLines("T", "A") + QStringList{"\t<navMap>"} + NavPointLines("cover", "Cover", 1, "cover.html")
        + NavPointLines("page1", "Page 1", 2, "page1.html") + NavPointLines("page2", "Page 2", 3, "page2.html")
        + NavPointLines("page3", "Page 3", 4, "page3.html") + QStringList{"\t</navMap>", "</ncx>"});
    // A cover field holding only a blank counts as a cover.
    EXPECT_EQ(Write(3, {"T", "A", " ", ""}), expected);
}

TEST_F(NavigationDocumentTest, EmptyTitleAndAuthorAndNoPages)
{
    EXPECT_EQ(Write(0, {"", "", "", ""}), CrLfLines(HeadLines("", "") + QStringList{"\t<navMap/>", "</ncx>"}));
    EXPECT_EQ(Write(0, {"", "", "/c.jpg", ""}),
              CrLfLines(HeadLines("", "") + QStringList{"\t<navMap>"} + NavPointLines("cover", "Cover", 1, "cover.html")
                        + QStringList{"\t</navMap>", "</ncx>"}));
}

TEST_F(NavigationDocumentTest, TenOrMorePagesUsePlainNumbers)
{
    const QByteArray ncx = Write(12, {"T", "A", "/c.jpg", ""});
    EXPECT_TRUE(ncx.contains(CrLfLines(NavPointLines("page10", "Page 10", 11, "page10.html"))));
    EXPECT_TRUE(
        ncx.contains(CrLfLines(NavPointLines("page12", "Page 12", 13, "page12.html") + QStringList{"\t</navMap>"})));
}

TEST_F(NavigationDocumentTest, TitleWithMarkupReadsBackAsTyped)
{
    const QString title = QString::fromUtf8("Fish & <Chips> \xE2\x80\x94 \"2\"");
    const QByteArray ncx = Write(1, {title, "A", "", ""});
    EXPECT_EQ(FirstElementText(ncx, kNcx, "text"), title);
}

}  // namespace
