#include "tests/cli/cli_program.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class CliTest : public TempFolderTest {
protected:
    QString Picture(const QString& relativePath)
    {
        const QString path = PathIn(relativePath);
        WriteTestFile(path, SmallJpeg(("picture " + relativePath).toUtf8()));
        return path;
    }
};

TEST_F(CliTest, StagingFolderHoldsExactlyThePicturesAndDocuments)
{
    const CliRun run = RunCli({"-t", "T", "-a", "A", "-o", PathIn("out"), "--staging", PathIn("s"), Picture("in/x.jpg"),
                               Picture("in/y.jpg")});
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(FolderNames(PathIn("s/OEBPS")),
              QStringList({"fb.ncx", "fb.opf", "page1.html", "page2.html", "stylesheet.css", "x.jpg", "y.jpg"}));
    // The staging root is seeded with the installation data; the book is in the output folder.
    EXPECT_EQ(ReadTestFile(PathIn("s/mimetype")), "application/epub+zip");
    EXPECT_TRUE(QFileInfo::exists(PathIn("s/META-INF/container.xml")));
    EXPECT_EQ(run.standardOutput, "Successed to build: " + PathIn("out") + "/T.epub\n");
    EXPECT_TRUE(QFileInfo(PathIn("out/T.epub")).isFile());
}

TEST_F(CliTest, AFolderAddsItsPicturesInNaturalOrder)
{
    for (const QString name : {"page10.jpg", "page2.jpg", "Page1.JPEG", "notes.txt", ".hidden.jpg"}) {
        Picture("in/" + name);
    }
    QDir().mkpath(PathIn("in/sub.jpg"));
    const CliRun run = RunCli(
        {"-t", "T", "-a", "A", "-o", PathIn("out"), "--staging", PathIn("s"), PathIn("in"), Picture("last.jpg")});
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(FolderNames(PathIn("s/OEBPS")),
              QStringList({"Page1.JPEG", "fb.ncx", "fb.opf", "last.jpg", "page1.html", "page10.jpg", "page2.html",
                           "page2.jpg", "page3.html", "page4.html", "stylesheet.css"}));
    EXPECT_TRUE(ReadTestFile(PathIn("s/OEBPS/page1.html")).contains("src=\"Page1.JPEG\""));
    EXPECT_TRUE(ReadTestFile(PathIn("s/OEBPS/page2.html")).contains("src=\"page2.jpg\""));
    EXPECT_TRUE(ReadTestFile(PathIn("s/OEBPS/page3.html")).contains("src=\"page10.jpg\""));
    EXPECT_TRUE(ReadTestFile(PathIn("s/OEBPS/page4.html")).contains("src=\"last.jpg\""));
}

TEST_F(CliTest, AProgressLineShowsOnATerminalOnly)
{
    QStringList arguments = {CliProgram(), "-t", "T", "-a", "A", "-o", PathIn("out")};
    for (int i = 0; i < 20; ++i) {
        arguments << Picture(QString("in/p%1.jpg").arg(i));
    }
    // script gives the program a terminal, and passes on what it writes there.
    QString terminal;
    EXPECT_EQ(RunProgram("script", {"-qfec", arguments.join(' '), "/dev/null"}, &terminal), 0);
    EXPECT_TRUE(terminal.contains("Preparing the pages: 20 of 20 (100%)")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains(QRegularExpression(R"(Packing the book: [\d.]+ of [\d.]+ MB \(100%\), [\d.]+ MB/s)")))
        << terminal.toStdString();
    // The line is erased before the result is printed.
    EXPECT_TRUE(terminal.contains("\r\x1b[KSuccessed to build: ")) << terminal.toStdString();

    QString quiet;
    EXPECT_EQ(RunProgram("script", {"-qfec", arguments.join(' ') + " -y -q", "/dev/null"}, &quiet), 0);
    EXPECT_FALSE(quiet.contains("Packing")) << quiet.toStdString();

    const CliRun piped = RunCli(arguments.mid(1) + QStringList{"-y"});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.standardError, "");
}

TEST_F(CliTest, ATitleNamesTheBookInTheOutputFolderAndStaysWholeInsideIt)
{
    const CliRun run = RunCli({"-t", "../up: \"a\"?", "-a", "A", "-o", PathIn("out/in"), Picture("x.jpg")});
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"in"}));
    EXPECT_EQ(FolderNames(PathIn("out/in")), QStringList({"_up_ _a__.epub"}));
    QString package;
    RunProgram("unzip", {"-p", PathIn("out/in/_up_ _a__.epub"), "OEBPS/fb.opf"}, &package);
    EXPECT_TRUE(package.contains("<dc:title>../up: &quot;a&quot;?</dc:title>")) << package.toStdString();
}

TEST_F(CliTest, AMissingSettingPrintsItsMessageAndFails)
{
    const CliRun run = RunCli({"-a", "A", "-o", PathIn("out"), "--staging", PathIn("s"), Picture("x.jpg")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.standardError, "Please set the book title! (use -t or --title)\n");
    EXPECT_TRUE(run.standardOutput.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PathIn("out")));
}

TEST_F(CliTest, UsageHelpAndVersion)
{
    const CliRun noPictures = RunCli({"-t", "T"});
    EXPECT_EQ(noPictures.exitCode, 2);
    EXPECT_TRUE(noPictures.standardError.contains("Usage: tamboril-cli"));
    EXPECT_EQ(RunCli({"--bogus", "x.jpg"}).exitCode, 2);
    EXPECT_EQ(RunCli({"x.jpg", "-t"}).exitCode, 2);

    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.standardOutput.startsWith("Usage: tamboril-cli [-t TITLE]"));
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.standardOutput, "Tamboril 3.3\n");
}

TEST_F(CliTest, AnExistingBookIsReplacedOnlyWithYes)
{
    const QString book = PathIn("out/T.epub");
    WriteTestFile(book, "the earlier book");
    const QStringList arguments = {"-t", "T", "-a", "A", "-o", PathIn("out"), Picture("x.jpg")};

    // Without a terminal to answer, the answer is No.
    const CliRun asked = RunCli(arguments);
    EXPECT_EQ(asked.exitCode, 1);
    EXPECT_TRUE(asked.standardError.startsWith("The file is existing. Overwrite?"));
    EXPECT_EQ(ReadTestFile(book), "the earlier book");

    const CliRun replaced = RunCli(QStringList{"-y"} + arguments);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.standardError.toStdString();
    EXPECT_TRUE(ReadTestFile(book).startsWith("PK\x03\x04"));
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));
}

TEST_F(CliTest, TheSavedOutputFolderIsTheDefaultAndIsNeverWritten)
{
    // A copy of the program with its own settings file and installation data beside it.
    const QString program = PathIn("program/tamboril-cli");
    QDir().mkpath(PathIn("program"));
    ASSERT_TRUE(QFile::copy(CliProgram(), program));
    const QByteArray settings = "[Options]\nSavePath=" + PathIn("saved").toUtf8() + "\n";
    WriteTestFile(PathIn("program/config.ini"), settings);
    WriteTestFile(PathIn("program/epubfiles/mimetype"), "application/epub+zip");
    WriteTestFile(PathIn("program/epubfiles/META-INF/container.xml"), "<container/>");

    const CliRun run = RunCli({"-t", "T", "-a", "A", Picture("x.jpg")}, program);
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_TRUE(QFileInfo(PathIn("saved/T.epub")).isFile());
    EXPECT_EQ(ReadTestFile(PathIn("program/config.ini")), settings);
    // The temporary staging root went with the run; nothing was staged beside the program.
    EXPECT_EQ(FolderNames(PathIn("program/epubfiles")), QStringList({"META-INF", "mimetype"}));

    // A settings file that is no regular file is not read (a FIFO would hold the run up for good), nor is a folder;
    // the run names the file and why, rather than take it for one without a folder.
    const QString config = PathIn("program/config.ini");
    QFile::remove(config);
    ASSERT_EQ(::mkfifo(QFile::encodeName(config).constData(), 0644), 0);
    const CliRun fifo = RunCli({"-t", "T", "-a", "A", Picture("x.jpg")}, program);
    EXPECT_EQ(fifo.exitCode, 1);
    EXPECT_EQ(fifo.standardError, "tamboril-cli: cannot read the settings file " + config
                                      + ": it is not a regular file; give the output folder with -o\n");
    QFile::remove(config);
    ASSERT_TRUE(QDir().mkpath(config));
    const CliRun folder = RunCli({"-t", "T", "-a", "A", "-o", PathIn("given"), Picture("x.jpg")}, program);
    EXPECT_EQ(folder.exitCode, 0);
    EXPECT_TRUE(folder.standardError.startsWith("tamboril-cli: cannot read the settings file " + config
                                                + ": it is a folder; the saved kind of book"))
        << folder.standardError.toStdString();
    EXPECT_TRUE(QFileInfo(PathIn("given/T.epub")).isFile());
}

TEST_F(CliTest, TheSavedKindOfBookAppliesUnlessTheCommandLineChoosesAnother)
{
    const QString program = PathIn("program/tamboril-cli");
    QDir().mkpath(PathIn("program"));
    ASSERT_TRUE(QFile::copy(CliProgram(), program));
    WriteTestFile(PathIn("program/epubfiles/mimetype"), "application/epub+zip");
    WriteTestFile(PathIn("program/epubfiles/META-INF/container.xml"), "<container/>");
    // Each run replaces the book of the last: whatever its kind, the book keeps its identifier.
    QStringList identifiers;
    const auto packageAfter = [&](const QByteArray& saved, const QStringList& options) {
        WriteTestFile(PathIn("program/config.ini"), "[Options]\nSavePath=" + PathIn("out").toUtf8() + "\n" + saved);
        const CliRun run =
            RunCli(QStringList{"-y", "-t", "T", "-a", "A"} + options + QStringList{Picture("x.jpg")}, program);
        EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        const QString package = QString::fromUtf8(ProgramOutput("unzip", {"-p", PathIn("out/T.epub"), "OEBPS/fb.opf"}));
        identifiers << QRegularExpression("urn:uuid:[0-9a-f-]{36}").match(package).captured();
        return package;
    };
    const QByteArray savedFixedRtl = "Layout=fixed\nReadingDirection=right-to-left\n";

    EXPECT_TRUE(packageAfter(savedFixedRtl, {}).contains("page-progression-direction=\"rtl\""));
    EXPECT_TRUE(packageAfter(savedFixedRtl, {"--left-to-right"}).contains("page-progression-direction=\"ltr\""));
    EXPECT_TRUE(packageAfter(savedFixedRtl, {"--layout", "flowing"}).contains("version=\"2.0\""));
    EXPECT_TRUE(packageAfter("Layout=grid\nReadingDirection=upwards\n", {}).contains("version=\"2.0\""));
    EXPECT_TRUE(packageAfter("", {"--layout", "fixed"}).contains("page-progression-direction=\"ltr\""));
    EXPECT_EQ(identifiers.size(), 5);
    EXPECT_EQ(identifiers.count(identifiers.first()), 5) << identifiers.join(' ').toStdString();
    EXPECT_EQ(ReadTestFile(PathIn("program/config.ini")), "[Options]\nSavePath=" + PathIn("out").toUtf8() + "\n")
        << "the command line never saves";

    const CliRun unknownLayout = RunCli({"--layout", "grid", "-t", "T", "-a", "A", Picture("x.jpg")}, program);
    EXPECT_EQ(unknownLayout.exitCode, 2);
    EXPECT_TRUE(unknownLayout.standardError.contains("Unknown layout 'grid'"));
    EXPECT_EQ(RunCli({"--right-to-left", "--left-to-right", "-t", "T", "-a", "A", Picture("x.jpg")}).exitCode, 2);
}

}  // namespace
