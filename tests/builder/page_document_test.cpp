#include "builder/language_tag.h"
#include "builder/page_document.h"
#include "tests/builder/document_text.h"
#include "tests/builder/locale_environment.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// The eleven lines of a page, from the format's description, for the en-US locale.
QByteArray ExpectedPage(const QString& srcAttributeText)
{
    return CrLfLines({
        "<?xml version='1.0' encoding='utf-8'?>",
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en-US\"> ",
        "<head>",
        "<link href=\"CCS\\stylesheet.css\" type=\"text/css\" rel=\"stylesheet\"/> ",
        "</head>",
        "<body>",
        "<div>",
        "<img src=\"" + srcAttributeText + "\" />",
        "</div>",
        "</body>",
        "</html>",
    });
}

// The value of the img element's src attribute, as an XML reader sees it.
QString ImageSource(const QByteArray& page)
{
    return FirstAttribute(page, "img", "src");
}

class PageDocumentTest : public TempFolderTest {};

TEST_F(PageDocumentTest, WritesTheElevenLinesWithTheLanguageTagAndThePicture)
{
    const QString path = PathIn("page1.html");
    ASSERT_TRUE(WritePageDocument(path, "x.jpg"));
    const QByteArray page = ReadTestFile(path);
    EXPECT_EQ(page, ExpectedPage("x.jpg"));
    // Eleven lines of text plus 22 bytes of line ends.
    EXPECT_EQ(page.size(), ExpectedPage("x.jpg").replace("\r\n", "").size() + 22);
}

TEST_F(PageDocumentTest, NonAsciiFileNameIsWrittenAsUtf8)
{
    const QString name = QString::fromUtf8("Ol\xC3\xA1 \xE4\xB8\x96\xE7\x95\x8C.jpg");
    ASSERT_TRUE(WritePageDocument(PathIn("page1.html"), name));
    const QByteArray page = ReadTestFile(PathIn("page1.html"));
    EXPECT_EQ(page, ExpectedPage(name));
    EXPECT_EQ(ImageSource(page), name);
}

TEST_F(PageDocumentTest, MarkupCharactersInTheFileNameKeepThePageWellFormed)
{
    const QString name = "Tom & Jerry <\"best\">.jpg";
    ASSERT_TRUE(WritePageDocument(PathIn("page1.html"), name));
    const QByteArray page = ReadTestFile(PathIn("page1.html"));
    EXPECT_EQ(page, ExpectedPage("Tom &amp; Jerry &lt;&quot;best&quot;&gt;.jpg"));
    EXPECT_EQ(ImageSource(page), name);
}

TEST_F(PageDocumentTest, SecondWriteReplacesTheWholeContent)
{
    const QString path = PathIn("page1.html");
    WriteTestFile(path, QByteArray(5000, 'x'));
    ASSERT_TRUE(WritePageDocument(path, "a-much-longer-name-than-the-next.jpg"));
    ASSERT_TRUE(WritePageDocument(path, "b.jpg"));
    EXPECT_EQ(ReadTestFile(path), ExpectedPage("b.jpg"));
}

TEST_F(PageDocumentTest, MissingFolderGivesFalseAndCreatesNothing)
{
    EXPECT_FALSE(WritePageDocument(PathIn("missing/page1.html"), "x.jpg"));
    EXPECT_FALSE(QFileInfo::exists(PathIn("missing")));
    EXPECT_TRUE(FolderNames(Root()).isEmpty());
}

TEST(LanguageTagTest, TakesLanguageAndCountryOfTheSystemLocale)
{
    {
        const LocaleEnvironment locale("", "en_US.UTF-8");
        EXPECT_EQ(GetLanguageTag(), "en-US");
        EXPECT_EQ(GetLocaleText(LocaleInfoItem::Iso639LanguageName), "en");
        EXPECT_EQ(GetLocaleText(LocaleInfoItem::Iso3166CountryName), "US");
    }
    {
        // LC_ALL wins over LANG; a modifier is not part of the country.
        const LocaleEnvironment locale("pt_BR.ISO-8859-1", "en_US.UTF-8");
        EXPECT_EQ(GetLanguageTag(), "pt-BR");
    }
    {
        const LocaleEnvironment locale("", "sr_RS@latin");
        EXPECT_EQ(GetLanguageTag(), "sr-RS");
    }
}

TEST(LanguageTagTest, PartsTheLocaleCannotSupplyAreEmptyButTheHyphenStays)
{
    {
        const LocaleEnvironment locale("", "de");
        EXPECT_EQ(GetLanguageTag(), "de-");
    }
    {
        const LocaleEnvironment locale("C", "en_US.UTF-8");
        EXPECT_EQ(GetLanguageTag(), "-");
    }
    {
        const LocaleEnvironment locale("", "POSIX");
        EXPECT_EQ(GetLanguageTag(), "-");
    }
    {
        const LocaleEnvironment locale("", "");
        EXPECT_EQ(GetLanguageTag(), "-");
    }
    {
        // Nineteen letters do not fit; text that is no plain code is not taken either.
        const LocaleEnvironment locale("", "abcdefghijklmnopqrs_US");
        EXPECT_EQ(GetLanguageTag(), "-US");
    }
    {
        const LocaleEnvironment locale("", "en_\"><x.UTF-8");
        EXPECT_EQ(GetLanguageTag(), "en-");
    }
}

}  // namespace
