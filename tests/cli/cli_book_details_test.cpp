#include "builder/workflow/book_format.h"
#include "cli/cli_options.h"
#include "cli/run_settings.h"
#include "settings/book_list_file.h"
#include "tests/builder/locale_environment.h"
#include "tests/cli/cli_program.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class CliBookDetailsTest : public TempFolderTest {
protected:
    QString Picture(const QString& relativePath)
    {
        WriteTestFile(PathIn(relativePath), SmallJpeg(relativePath.toUtf8()));
        return PathIn(relativePath);
    }

    CliOptions Parsed(const QStringList& arguments)
    {
        QString error;
        const std::optional<CliOptions> options = ParseCliOptions(arguments, error);
        EXPECT_TRUE(options.has_value()) << error.toStdString();
        return options.value_or(CliOptions());
    }

    QString ParseError(const QStringList& arguments)
    {
        QString error;
        EXPECT_FALSE(ParseCliOptions(arguments, error).has_value());
        return error;
    }

    QString Package(const QString& book)
    {
        return QString::fromUtf8(ProgramOutput("unzip", {"-p", book, "OEBPS/fb.opf"}));
    }
};

TEST_F(CliBookDetailsTest, TheLanguageIsTheOneGivenElseTheSavedOneElseTheSystemsElseEnglish)
{
    const QString configIni = PathIn("config.ini");
    EXPECT_EQ(ChosenLanguage(Parsed({"--language", "pt-BR", "x.jpg"}), configIni), "pt-BR");
    {
        const LocaleEnvironment locale("", "C");
        EXPECT_EQ(ChosenLanguage(Parsed({"x.jpg"}), configIni), "en");
    }
    {
        const LocaleEnvironment locale("", "ja_JP.UTF-8");
        EXPECT_EQ(ChosenLanguage(Parsed({"x.jpg"}), configIni), "ja-JP");
        WriteTestFile(configIni, "[Options]\nLanguage=de-CH\n");
        EXPECT_EQ(ChosenLanguage(Parsed({"x.jpg"}), configIni), "de-CH");
        EXPECT_EQ(ChosenLanguage(Parsed({"--language", "pt-BR", "x.jpg"}), configIni), "pt-BR");
        // A saved value that is no language tag is passed over, as a missing one is.
        WriteTestFile(configIni, "[Options]\nLanguage=Deutsch\n");
        EXPECT_EQ(ChosenLanguage(Parsed({"x.jpg"}), configIni), "ja-JP");
    }
    const CliOptions series = Parsed({"--series", "The Saga", "--number", "3.5", "x.jpg"});
    EXPECT_EQ(series.settings.series, "The Saga");
    EXPECT_EQ(series.settings.seriesNumber, "3.5");
    EXPECT_EQ(ParseError({"--language", "english", "x.jpg"}),
              "The language 'english' is not a language tag: a language's code has two or three letters (en, pt, "
              "gsw).");
    EXPECT_TRUE(ParseError({"--number", "three", "x.jpg"}).startsWith("The number 'three' is no number"));
    EXPECT_EQ(RunCli({"--language", "en_US", "-t", "T", "-a", "A", "x.jpg"}).exitCode, 2);
}

TEST_F(CliBookDetailsTest, APageListGivesThePagesAndTheDetailsTheOptionsLeaveOpen)
{
    BookList list;
    list.title = "Listed";
    list.author = "List Author";
    list.series = "Saga";
    list.number = "2";
    list.layout = "fixed";
    list.pictures = {Picture("in/b.jpg"), Picture("in/a.jpg")};
    WriteBookListFile(PathIn("in/book.list"), BookListText(list, PathIn("in")));

    const CliOptions taken = WithPageList(Parsed({"-a", "Given", "-l", PathIn("in/book.list"), Picture("last.jpg")}));
    EXPECT_EQ(taken.settings.title, "Listed");
    EXPECT_EQ(taken.settings.author, "Given");
    EXPECT_EQ(taken.settings.series, "Saga");
    EXPECT_EQ(taken.settings.seriesNumber, "2");
    EXPECT_EQ(taken.format->Key(), "fixed");
    EXPECT_EQ(taken.pictureArguments, QStringList({PathIn("in/b.jpg"), PathIn("in/a.jpg"), PathIn("last.jpg")}));
    // A kind of book the program does not make is named.
    list.layout = "grid";
    WriteBookListFile(PathIn("in/grid.list"), BookListText(list, PathIn("in")));
    try {
        WithPageList(Parsed({"-l", PathIn("in/grid.list")}));
        ADD_FAILURE() << "an unknown layout was taken";
    } catch (const BookListError& error) {
        EXPECT_TRUE(error.Text().contains("'grid'")) << error.Text().toStdString();
    }

    // The program reads it too: the list's pages in the list's order, under the list's title.
    const CliRun run = RunCli({"--list", PathIn("in/book.list"), "-o", PathIn("out"), "--layout", "flowing"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    const QString package = Package(PathIn("out/Listed.epub"));
    EXPECT_TRUE(package.contains("<dc:title>Listed</dc:title>")) << package.toStdString();
    EXPECT_LT(package.indexOf("b.jpg"), package.indexOf("a.jpg"));

    // A picture that has gone since the list was saved is named, and no book is made without it.
    QFile::remove(PathIn("in/a.jpg"));
    const CliRun gone = RunCli({"-y", "--list", PathIn("in/book.list"), "-o", PathIn("out2")});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_TRUE(gone.standardError.contains(PathIn("in/a.jpg"))) << gone.standardError.toStdString();
    EXPECT_FALSE(QFileInfo::exists(PathIn("out2/Listed.epub")));
    const CliRun unreadable = RunCli({"--list", PathIn("in/nothing.list"), "-o", PathIn("out2")});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.standardError,
              "tamboril-cli: The page list " + PathIn("in/nothing.list") + " cannot be read: there is no such file\n");
}

TEST_F(CliBookDetailsTest, OneFolderNamesTheBookAndAMissingSettingNamesItsOption)
{
    Picture("Saga Vol 1/p1.jpg");
    const CliRun run = RunCli({"-a", "A", "-o", PathIn("out"), PathIn("Saga Vol 1") + "/"});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_TRUE(QFileInfo(PathIn("out/Saga Vol 1.epub")).isFile());
    // With anything more than one folder there is no title to take.
    const CliRun two = RunCli({"-a", "A", "-o", PathIn("out"), PathIn("Saga Vol 1"), Picture("x.jpg")});
    EXPECT_EQ(two.exitCode, 1);
    EXPECT_EQ(two.standardError, "Please set the book title! (use -t or --title)\n");
    const CliRun noAuthor = RunCli({"--title", "T", "-o", PathIn("out"), Picture("x.jpg")});
    EXPECT_EQ(noAuthor.standardError, "Please set the author name! (use -a or --author)\n");
}

}  // namespace
