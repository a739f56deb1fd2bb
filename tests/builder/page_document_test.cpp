#include "builder/flowing/page_document.h"
#include "builder/workflow/language_tag.h"
#include "tests/builder/document_text.h"
#include "tests/builder/locale_environment.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// The twelve lines of a page, from the format's description, for the en-US locale.
QByteArray ExpectedPage(const QString& titleText, const QString& srcAttributeText, const QString& altText)
{
    return CrLfLines({
        "<?xml version='1.0' encoding='utf-8'?>",
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en-US\"> ",
        "<head>",
        "<title>" + titleText + "</title>",
        "<link href=\"stylesheet.css\" type=\"text/css\" rel=\"stylesheet\"/> ",
        "</head>",
        "<body>",
        "<div>",
        "<img src=\"" + srcAttributeText + "\" alt=\"" + altText + "\" />",
        "</div>",
        "</body>",
        "</html>",
    });
}

class PageDocumentTest : public TempFolderTest {};

TEST_F(PageDocumentTest, WritesTheTwelveLinesWithTitlePictureAndAlternativeText)
{
    EXPECT_EQ(PageDocumentText("x.jpg", "My Book", "Page 1", "en-US"), ExpectedPage("My Book", "x.jpg", "Page 1"));
}

TEST_F(PageDocumentTest, ThePictureIsNamedByAUrlAndTheTextsAreEscaped)
{
    // Every byte of the name but letters, digits and "-._~" is percent-encoded, so that "#", "%",
    // "&" and spaces name the file itself; the XML reader then sees the URL unchanged.
    const QString name = QString::fromUtf8("Tom & Jerry #1 %41 caf\xC3\xA9 \xE4\xB8\x96.jpg");
    const QString url = "Tom%20%26%20Jerry%20%231%20%2541%20caf%C3%A9%20%E4%B8%96.jpg";
    const QByteArray page = PageDocumentText(name, "Fish & <Chips>", "Cover", "en-US");
    EXPECT_EQ(page, ExpectedPage("Fish &amp; &lt;Chips&gt;", url, "Cover"));
    EXPECT_EQ(FirstAttribute(page, "img", "src"), url);
    EXPECT_EQ(FirstElementText(page, "http://www.w3.org/1999/xhtml", "title"), "Fish & <Chips>");
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

TEST(LanguageTagTest, ATagNeverBeginsOrEndsWithAHyphen)
{
    // A locale that names no country gives the language alone; one that names no language (C,
    // POSIX, unset, or text that is no plain code) gives "und", undetermined.
    const QList<std::pair<QByteArray, QString>> cases = {
        {"de", "de"},
        {"C", "und"},
        {"POSIX", "und"},
        {"C.UTF-8", "und"},
        {"", "und"},
        {"abcdefghijklmnopqrs_US", "und-US"},
        {"en_\"><x.UTF-8", "en"},
    };
    for (const auto& [lang, tag] : cases) {
        const LocaleEnvironment locale("", lang);
        EXPECT_EQ(GetLanguageTag(), tag) << lang.toStdString();
    }
    const LocaleEnvironment locale("C", "en_US.UTF-8");
    EXPECT_EQ(GetLanguageTag(), "und") << "LC_ALL wins";
}

}  // namespace
