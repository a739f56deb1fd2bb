#include "settings/book_details.h"
#include "settings/language_choices.h"
#include "tests/builder/locale_environment.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(BookDetailsTest, TheDefaultLanguageIsTheSystemsAndEnglishWhereItNamesNone)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {"ja_JP.UTF-8", "ja-JP"}, {"de", "de"}, {"C", "en"}, {"POSIX", "en"}, {"C.UTF-8", "en"}, {"", "en"},
    };
    for (const auto& [lang, tag] : cases) {
        const LocaleEnvironment locale("", lang);
        EXPECT_EQ(DefaultLanguageTag(), tag) << lang.toStdString();
    }
}

TEST(BookDetailsTest, LanguageTagsAreCheckedForTheirForm)
{
    for (const QString tag : {"en", "pt-BR", "zh-Hant-TW", "sr-Latn-RS", "es-419", "de-CH-1996", "x-klingon", "gsw",
                              "EN-us", "en-US-u-ca-gregory"}) {
        EXPECT_EQ(LanguageTagProblem(tag), "") << tag.toStdString();
    }
    for (const QString& tag : QStringList{"", "english", "en_US", "en-", "-en", "en--US", " en", "en US", "e", "123",
                                          "ab-cd-ef-gh", QString(200, u'a')}) {
        EXPECT_NE(LanguageTagProblem(tag), "") << tag.toStdString();
    }
    EXPECT_TRUE(IsSeriesNumber("3"));
    EXPECT_TRUE(IsSeriesNumber("12.5"));
    for (const QString number : {"", "3.", ".5", "-1", "three", "1e3", "3,5", " 3"}) {
        EXPECT_FALSE(IsSeriesNumber(number)) << number.toStdString();
    }
}

TEST(BookDetailsTest, EveryLanguageOfferedHasItsOwnNameAndAWellFormedTag)
{
    const QList<LanguageChoice> choices = LanguageChoices();
    ASSERT_GT(choices.size(), 300);
    for (const LanguageChoice& choice : choices) {
        EXPECT_FALSE(choice.name.isEmpty());
        EXPECT_EQ(LanguageTagProblem(choice.tag), "") << choice.tag.toStdString();
    }
    const auto named = [&choices](const QString& tag) {
        const auto found = std::find_if(choices.begin(), choices.end(), [&](const auto& c) { return c.tag == tag; });
        return found == choices.end() ? QString() : found->name;
    };
    EXPECT_EQ(named("de"), "Deutsch");
    EXPECT_EQ(named("pt-BR"), "português (Brasil)");
    EXPECT_EQ(named("ja-JP"), "日本語 (日本)");
    // A language written in more than one script names it in its tags.
    EXPECT_FALSE(named("sr-Latn-RS").isEmpty());
    EXPECT_FALSE(named("sr-Cyrl-RS").isEmpty());
}

}  // namespace
