#include "comics/comic_info.h"
#include "comics/comic_info_writer.h"

#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

namespace {

class ComicInfoTest : public TempFolderTest {};

TEST_F(ComicInfoTest, FieldsAreReadAndHostileDocumentsHurtNothing)
{
    const ComicInfo full = ParseComicInfo(R"(<?xml version="1.0" encoding="utf-8"?>
<ComicInfo xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
  <Title>  The Sea &amp; the Sky </Title>
  <Series>Voyages</Series>
  <Number>12a</Number>
  <Volume>3</Volume>
  <Summary>Two <b>sailors</b>.</Summary>
  <Writer>Aiko Tanaka</Writer>
  <PageCount>24</PageCount>
  <LanguageISO>ja</LanguageISO>
  <Manga>YesAndRightToLeft</Manga>
  <Pages>
    <Page Image="0" Type="Story"/>
    <Page Image="1" ImageWidth="1800" ImageHeight="2700" Type="FrontCover"><Note/></Page>
  </Pages>
</ComicInfo>)");
    EXPECT_EQ(full.title, "The Sea & the Sky");
    EXPECT_EQ(full.series, "Voyages");
    EXPECT_EQ(full.number, "12a");
    EXPECT_EQ(full.volume, 3);
    EXPECT_EQ(full.writer, "Aiko Tanaka");
    EXPECT_EQ(full.pageCount, 24);
    EXPECT_EQ(full.language, "ja");
    EXPECT_EQ(full.readingDirection, ReadingDirection::RightToLeft);
    EXPECT_EQ(full.frontCover, 1);

    EXPECT_EQ(ParseComicInfo("<ComicInfo><Manga>No</Manga></ComicInfo>").readingDirection,
              ReadingDirection::LeftToRight);
    const ComicInfo sparse = ParseComicInfo("<ComicInfo><Manga>Yes</Manga><Volume>three</Volume></ComicInfo>");
    EXPECT_EQ(sparse.readingDirection, std::nullopt);
    EXPECT_EQ(sparse.volume, std::nullopt);
    EXPECT_EQ(sparse.title, "");
    EXPECT_EQ(sparse.frontCover, std::nullopt);

    // A document cut short keeps what came before the cut.
    const ComicInfo cut = ParseComicInfo("<ComicInfo><Title>Kept</Title><Series>Also kept</Series><Wri");
    EXPECT_EQ(cut.title, "Kept");
    EXPECT_EQ(cut.series, "Also kept");
    EXPECT_EQ(ParseComicInfo("<Book><Title>Not comic info</Title></Book>").title, "");

    // Entities that would expand to gigabytes, a document past the size read, and deep nesting.
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE ComicInfo [\n<!ENTITY l0 \"ha\">\n";
    for (int level = 1; level <= 20; ++level) {
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">\n")
                      .arg(level)
                      .arg(QString("&l%1;").arg(level - 1).repeated(10))
                      .toUtf8();
    }
    laughs += "]>\n<ComicInfo><Title>&l20;</Title></ComicInfo>";
    EXPECT_EQ(ParseComicInfo(laughs).title, "");
    EXPECT_EQ(
        ParseComicInfo("<ComicInfo><Title>Large</Title><Notes>" + QByteArray(2 << 20, 'x') + "</Notes></ComicInfo>")
            .title,
        "");
    const QByteArray deep = "<ComicInfo><Notes>" + QByteArray("<a>").repeated(100'000)
                            + QByteArray("</a>").repeated(100'000)
                            + "</Notes><Title>After the depths</Title></ComicInfo>";
    EXPECT_EQ(ParseComicInfo(deep).title, "After the depths");
}

TEST_F(ComicInfoTest, WrittenComicInfoIsWellFormedAndSaysWhatWasGiven)
{
    ComicInfoToWrite book;
    book.title = "Tom & Jerry <1>";
    book.series = "Cats \"and\" mice";
    book.number = "1.5";
    book.writer = "Ann O'Hara";
    book.language = "ja";
    book.readingDirection = ReadingDirection::RightToLeft;
    book.pageSizes = {{1800, 2700}, {1600, 2400}, {3600, 2700}};
    book.frontCover = 0;
    const QString path = PathIn("ComicInfo.xml");
    WriteTestFile(path, WriteComicInfo(book));

    // Python's own XML parser reads it back.
    const QString script = R"(
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
print(root.tag)
for child in root:
    print(child.tag, (child.text or '').strip())
for page in root.find('Pages'):
    print(sorted(page.attrib.items()))
)";
    QString output;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", script, path}, &output), 0);
    EXPECT_EQ(output, "ComicInfo\n"
                      "Title Tom & Jerry <1>\n"
                      "Series Cats \"and\" mice\n"
                      "Number 1.5\n"
                      "Writer Ann O'Hara\n"
                      "PageCount 3\n"
                      "LanguageISO ja\n"
                      "Manga YesAndRightToLeft\n"
                      "Pages \n"
                      "[('Image', '0'), ('ImageHeight', '2700'), ('ImageWidth', '1800'), ('Type', 'FrontCover')]\n"
                      "[('Image', '1'), ('ImageHeight', '2400'), ('ImageWidth', '1600')]\n"
                      "[('Image', '2'), ('ImageHeight', '2700'), ('ImageWidth', '3600')]\n");
    EXPECT_EQ(ParseComicInfo(ReadTestFile(path)).frontCover, 0);

    // Read left to right, without a cover or a series: Manga "No", no cover, no empty element.
    const QByteArray plain = WriteComicInfo({"Plain", {}, {}, {}, "en", ReadingDirection::LeftToRight, {{10, 20}}, {}});
    const ComicInfo read = ParseComicInfo(plain);
    EXPECT_EQ(read.readingDirection, ReadingDirection::LeftToRight);
    EXPECT_EQ(read.frontCover, std::nullopt);
    EXPECT_FALSE(plain.contains("<Series")) << plain.toStdString();
}

}  // namespace
