#include "settings/book_list_file.h"
#include "settings/kept_list_slot.h"
#include "settings/list_keeper.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <gtest/gtest.h>

#include <utime.h>

namespace {

using BookListTest = TempFolderTest;

BookList SampleList(const QString& folder)
{
    BookList list;
    list.title = "The Saga: Vol 1";
    list.author = "Ann Example";
    list.language = "pt-BR";
    list.series = "The Saga";
    list.number = "1.5";
    list.cover = folder + "/scans/cover.jpg";
    list.layout = "fixed";
    list.direction = ReadingDirection::RightToLeft;
    list.pictures = {folder + "/scans/002.jpg", "/elsewhere/été 1.jpg", folder + "/scans/002.jpg"};
    return list;
}

void ExpectSameList(const BookList& read, const BookList& written)
{
    EXPECT_EQ(read.title, written.title);
    EXPECT_EQ(read.author, written.author);
    EXPECT_EQ(read.language, written.language);
    EXPECT_EQ(read.series, written.series);
    EXPECT_EQ(read.number, written.number);
    EXPECT_EQ(read.cover, written.cover);
    EXPECT_EQ(read.layout, written.layout);
    EXPECT_EQ(read.direction, written.direction);
    EXPECT_EQ(read.pictures, written.pictures);
}

TEST_F(BookListTest, AListIsWrittenAsItsFormatSaysAndReadBackTheSame)
{
    const BookList list = SampleList(Root());
    // Paths inside the list's folder are written relative to it, the others as they are.
    const QByteArray expected = "Tamboril page list\n"
                                "Title: The Saga: Vol 1\n"
                                "Author: Ann Example\n"
                                "Language: pt-BR\n"
                                "Series: The Saga\n"
                                "Number: 1.5\n"
                                "Cover: scans/cover.jpg\n"
                                "Layout: fixed\n"
                                "Reading direction: right-to-left\n"
                                "\n"
                                "scans/002.jpg\n"
                                "/elsewhere/été 1.jpg\n"
                                "scans/002.jpg\n";
    EXPECT_EQ(BookListText(list, Root()), expected);
    WriteBookListFile(PathIn("book.list"), BookListText(list, Root()));
    ExpectSameList(ReadBookList(PathIn("book.list")), list);
    // The same file, moved with its pictures, lists them where they now are.
    QDir().mkpath(PathIn("moved"));
    QFile::rename(PathIn("book.list"), PathIn("moved/book.list"));
    EXPECT_EQ(ReadBookList(PathIn("moved/book.list")).pictures.first(), PathIn("moved/scans/002.jpg"));

    // Empty details are written too, as names without values, and read back empty.
    BookList bare;
    bare.pictures = {"/p.jpg"};
    EXPECT_EQ(BookListText(bare, QString()), "Tamboril page list\nTitle:\nAuthor:\nLanguage:\nSeries:\nNumber:\n"
                                             "Cover:\nLayout:\nReading direction:\n\n/p.jpg\n");
    ExpectSameList(ParseBookList(BookListText(bare, QString()), Root()), bare);

    // No line can hold a line break: such a list is refused whole rather than read back as something else.
    BookList broken = bare;
    broken.pictures << "/a\nb.jpg";
    EXPECT_THROW(BookListText(broken, QString()), BookListError);
    broken = bare;
    broken.title = "two\nlines";
    EXPECT_THROW(BookListText(broken, QString()), BookListError);
}

TEST_F(BookListTest, AListAPersonWroteIsReadAsTheyMeantIt)
{
    // Edited by hand: a byte order mark, CR LF, names in any case, blanks around values, a comment, blank lines.
    const BookList edited = ParseBookList("\xEF\xBB\xBFtamboril PAGE list\r\n"
                                          "# made by hand\r\n"
                                          "  title :   My Book  \r\n"
                                          "LAYOUT: Flowing\r\n"
                                          "\r\n"
                                          "\r\n"
                                          "a.jpg\r\n"
                                          "   \r\n"
                                          "/b b.jpg\r\n",
                                          "/lists");
    EXPECT_EQ(edited.title, "My Book");
    EXPECT_EQ(edited.layout, "Flowing");
    EXPECT_EQ(edited.direction, std::nullopt);
    EXPECT_EQ(edited.pictures, QStringList({"/lists/a.jpg", "/b b.jpg"}));
    // Paths alone, as `ls` writes them, make a list too.
    EXPECT_EQ(ParseBookList("Title: x.jpg\n2.jpg\n", "/l").pictures, QStringList({"/l/Title: x.jpg", "/l/2.jpg"}));

    const auto problem = [](const QByteArray& text) {
        try {
            ParseBookList(text, "/l");
        } catch (const BookListError& error) {
            return error.Text();
        }
        return QString();
    };
    EXPECT_EQ(problem("Tamboril page list\nAutor: Ann\n\n/a.jpg\n"),
              "line 2 (Autor: Ann) has a name Tamboril does not know: use Title, Author, Language, Series, Number, "
              "Cover, Layout or Reading direction");
    EXPECT_EQ(problem("Tamboril page list\nTitle: T\n/a.jpg\n"),
              "line 3 (/a.jpg) is neither \"Name: value\" nor the empty line after them");
    EXPECT_EQ(problem("\xFF\xD8\xFF\xE0 a picture"), "it is not UTF-8 text");

    WriteTestFile(PathIn("notes.jpg"), "\xFF\xD8\xFF");
    EXPECT_THROW(ReadBookList(PathIn("notes.jpg")), BookListError);
    EXPECT_THROW(ReadBookList(PathIn("missing.list")), BookListError);
    EXPECT_THROW(ReadBookList(Root()), BookListError);
}

TEST_F(BookListTest, AKeptListIsLeftBehindOnlyOnceItsWindowLetsItGo)
{
    const QString state = PathIn("state/tamboril");
    QString listPath;
    {
        KeptListSlot slot = KeptListSlot::Claim(state);
        listPath = slot.ListPath();
        EXPECT_EQ(QFileInfo(PathIn("state")).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
        ListKeeper keeper([](const QString& reason) { ADD_FAILURE() << reason.toStdString(); });
        // Only the newest of the lists handed over counts; the keeper writes on its own thread.
        for (int i = 1; i <= 50; ++i) {
            keeper.Keep(listPath, [i](QIODevice& file) { file.write(QByteArray::number(i) + "\n"); });
        }
        keeper.Wait();
        EXPECT_EQ(ReadTestFile(listPath), "50\n");
        // While the window holds it, no other window takes it.
        EXPECT_TRUE(KeptListSlot::LeftBehind(state).empty());
    }
    std::vector<KeptListSlot> left = KeptListSlot::LeftBehind(state);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].ListPath(), listPath);
    // Found, it is held by the one who found it.
    EXPECT_TRUE(KeptListSlot::LeftBehind(state).empty());
    left[0].Remove();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(listPath).path()));

    // A slot whose window ended before it kept anything goes once it is old; a young one may be starting.
    const QString young = KeptListSlot::Claim(state).ListPath();
    const QString old = KeptListSlot::Claim(state).ListPath();
    const utimbuf longAgo = {1000000000, 1000000000};
    ASSERT_EQ(::utime(QFile::encodeName(QFileInfo(old).path()).constData(), &longAgo), 0);
    EXPECT_TRUE(KeptListSlot::LeftBehind(state).empty());
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(young).path()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(old).path()));

    // A list that cannot be written is reported, not passed over.
    QString failure;
    {
        ListKeeper keeper([&failure](const QString& reason) { failure = reason; });
        keeper.Keep(PathIn("no/such/folder/pages.list"), [](QIODevice& file) { file.write("x"); });
    }
    EXPECT_TRUE(failure.startsWith("Unable to write to " + PathIn("no/such/folder/pages.list")))
        << failure.toStdString();
}

}  // namespace
