#include "builder/names/book_file_name.h"
#include "builder/workflow/conversion.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(BookFileNameTest, ATitleNeverLeavesTheOutputFolderNorHoldsWhatFatStorageRefuses)
{
    const QList<std::pair<QString, QString>> cases = {
        {"My Book", "My Book.epub"},
        {"../escape", "_escape.epub"},
        {"a/b", "a_b.epub"},
        {"Saga: Vol 1?", "Saga_ Vol 1_.epub"},
        {"\"quoted\" <tag> a\\b*c|d", "_quoted_ _tag_ a_b_c_d.epub"},
        {"tab\there\x01\x7f", "tab_here__.epub"},
        {".hidden", "hidden.epub"},
        {".", "Untitled.epub"},
        {"..", "Untitled.epub"},
        {"caf\u00e9 \u65e5\u672c", "caf\u00e9 \u65e5\u672c.epub"},
        {QString("lone ") + QChar(0xD800), "lone _.epub"},
        // No name begins or ends with a space, and none turns the direction in which it reads.
        {" ", "Untitled.epub"},
        {". .", "Untitled.epub"},
        {"  Spaced out  ", "Spaced out.epub"},
        {"Holiday\u202Egpj.exe", "Holiday_gpj.exe.epub"},
        {"\u2066x\u2069", "_x_.epub"},
    };
    for (const auto& [title, name] : cases) {
        EXPECT_EQ(BookFileName(title, ".epub"), name) << title.toStdString();
    }
    EXPECT_EQ(BookPath({"../x", "A", "", "/books"}), "/books/_x.epub");
    EXPECT_EQ(BookPath({"T", "A", "", "/books/"}), "/books/T.epub");
}

TEST(BookFileNameTest, ALongTitleIsCutTo255BytesBetweenTwoCharacters)
{
    // One, two, three and four bytes of UTF-8 per character; the last are surrogate pairs in the text.
    for (const QString& character : {QString("x"), QString("\u00e9"), QString("\u65e5"), QString("\U0001F600")}) {
        const QString name = BookFileName(character.repeated(300), ".epub");
        const QByteArray bytes = name.toUtf8();
        EXPECT_LE(bytes.size(), 255) << character.toStdString();
        EXPECT_GT(bytes.size(), 255 - 4) << character.toStdString();
        EXPECT_TRUE(name.endsWith(".epub"));
        EXPECT_EQ(name.chopped(5), character.repeated(name.chopped(5).size() / character.size()));
    }
}

}  // namespace
