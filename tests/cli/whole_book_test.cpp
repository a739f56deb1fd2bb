// A book is whole or absent: tamboril-cli killed, interrupted, racing another run, or given pictures it
// cannot read never leaves a broken book, loses an earlier one, or leaves its temporary files behind.
#include "tests/cli/cli_program.h"
#include "tests/cli/cli_run_test.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLargePictures = 24;

class WholeBookTest : public CliRunTest {
protected:
    // Pictures followed by random bytes, as a phone's motion photo carries its video, large enough that
    // packing them takes a while.
    QStringList LargePictures()
    {
        QRandomGenerator random(7);
        QByteArray bytes(4 * 1024 * 1024, Qt::Uninitialized);
        QStringList pictures;
        for (int i = 1; i <= kLargePictures; ++i) {
            random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            pictures << PathIn(QString("large/photo%1.jpg").arg(i));
            WriteTestFile(pictures.last(), SmallJpeg() + bytes);
        }
        return pictures;
    }
};

TEST_F(WholeBookTest, AKilledRunLeavesTheEarlierBookOrTheWholeNewOneAndTheNextRunCleansUp)
{
    const QStringList pictures = LargePictures();
    const QList<std::function<bool()>> moments = {
        [] { return true; },                                       // at once
        [this] { return TemporaryBookExists(); },                  // while packing
        [this] { return ReadTestFile(Book()).startsWith("PK"); },  // as the book takes its place
    };
    for (qsizetype moment = 0; moment < moments.size(); ++moment) {
        SCOPED_TRACE(moment);
        WriteTestFile(Book(), "the earlier book");
        const QByteArray before = ReadTestFile(Book());
        const std::unique_ptr<QProcess> run = Start(QStringList{"-y"} + pictures);
        WaitUntil(*run, moments[moment]);
        ::kill(static_cast<pid_t>(run->processId()), SIGKILL);
        run->waitForFinished();
        const QByteArray after = ReadTestFile(Book());
        if (after != before) {
            EXPECT_EQ(EntriesOfSoundBook(Book()).filter(QRegularExpression("^OEBPS/page\\d+\\.html$")).size(),
                      kLargePictures);
        }
    }
    const CliRun next = Run({"-y", Picture("a.jpg")});
    EXPECT_EQ(next.exitCode, 0) << next.standardError.toStdString();
    ExpectNothingLeftBehind();
}

TEST_F(WholeBookTest, InterruptingSignalsStopTheRunAndRemoveWhatItMade)
{
    const QStringList pictures = LargePictures();
    WriteTestFile(Book(), "the earlier book");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::unique_ptr<QProcess> run = Start(QStringList{"-y"} + pictures);
        WaitUntil(*run, [this] { return TemporaryBookExists(); });
        ASSERT_EQ(run->state(), QProcess::Running) << "the run ended before it was packing";
        ::kill(static_cast<pid_t>(run->processId()), signal);
        run->waitForFinished();
        EXPECT_EQ(run->exitCode(), 128 + signal);
        EXPECT_EQ(ReadTestFile(Book()), "the earlier book");
        ExpectNothingLeftBehind();
    }
}

TEST_F(WholeBookTest, TwoRunsWritingTheSameBookNeverMixAndNeverReplaceWithoutConsent)
{
    const QStringList first = {Picture("first/a1.jpg"), Picture("first/a2.jpg")};
    const QStringList second = {Picture("second/b1.jpg"), Picture("second/b2.jpg")};
    const QStringList firstBook = {"OEBPS/a1.jpg", "OEBPS/a2.jpg"};
    const QStringList secondBook = {"OEBPS/b1.jpg", "OEBPS/b2.jpg"};
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        // Every other round neither run may replace: no book is there, so neither asks.
        const bool replace = round % 2 == 1;
        if (!replace) {
            QFile::remove(Book());
        }
        const QStringList yes = replace ? QStringList{"-y"} : QStringList{};
        const std::unique_ptr<QProcess> one = Start(yes + first);
        const std::unique_ptr<QProcess> other = Start(yes + second);
        ASSERT_TRUE(one->waitForFinished() && other->waitForFinished());
        const QStringList pictures = EntriesOfSoundBook(Book()).filter(".jpg");
        EXPECT_TRUE(pictures == firstBook || pictures == secondBook) << pictures.join(' ').toStdString();
        if (!replace) {
            // The run that found the book in place at the end was never asked, so it replaced nothing.
            EXPECT_EQ(one->exitCode() + other->exitCode(), 1);
            EXPECT_EQ(pictures == firstBook, one->exitCode() == 0);
        }
    }
    ExpectNothingLeftBehind();
}

TEST_F(WholeBookTest, ABookOfALongTitleOrAFifoAtItsPathIsReplacedWhole)
{
    // 245 characters and ".epub": the longest names a folder holds.
    const QString title(245, 'x');
    const QString book = PathIn("out/" + title + ".epub");
    ASSERT_EQ(
        RunCli({"-t", title, "-a", "A", "-o", PathIn("out"), Picture("old/a.jpg"), Picture("old/b.jpg")}).exitCode, 0);
    const CliRun replaced = RunCli({"-y", "-t", title, "-a", "A", "-o", PathIn("out"), Picture("new/c.jpg")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.standardError.toStdString();
    QStringList entries = EntriesOfSoundBook(book).filter("OEBPS/");
    entries.sort();
    EXPECT_EQ(entries,
              QStringList({"OEBPS/c.jpg", "OEBPS/fb.ncx", "OEBPS/fb.opf", "OEBPS/page1.html", "OEBPS/stylesheet.css"}));

    ASSERT_EQ(::mkfifo(QFile::encodeName(Book()).constData(), 0644), 0);
    EXPECT_EQ(Run({"-y", Picture("d.jpg")}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(Book()).isFile());
}

TEST_F(WholeBookTest, ABookPathThatIsALinkIsReplacedByAPlainBookTheLinkedFileStays)
{
    // A link to a setuid program: the book takes the link's place, never the program's, nor its bits.
    WriteTestFile(PathIn("program"), "#!/bin/sh\n");
    ASSERT_EQ(::chmod(QFile::encodeName(PathIn("program")).constData(), 04755), 0);
    ASSERT_TRUE(QDir().mkpath(PathIn("out")));
    ASSERT_EQ(::symlink(QFile::encodeName(PathIn("program")).constData(), QFile::encodeName(Book()).constData()), 0);
    const CliRun run = Run({"-y", Picture("a.jpg")});
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    struct stat book {};
    ASSERT_EQ(::lstat(QFile::encodeName(Book()).constData(), &book), 0);
    EXPECT_TRUE(S_ISREG(book.st_mode));
    EXPECT_EQ(book.st_mode & 07000, 0u);
    EXPECT_EQ(ReadTestFile(PathIn("program")), "#!/bin/sh\n");

    // A book's own permissions pass to the book that replaces it, without the special bits.
    ASSERT_EQ(::chmod(QFile::encodeName(Book()).constData(), 02640), 0);
    EXPECT_EQ(Run({"-y", Picture("b.jpg")}).exitCode, 0);
    ASSERT_EQ(::lstat(QFile::encodeName(Book()).constData(), &book), 0);
    EXPECT_EQ(book.st_mode & 07777, 0640u);
}

TEST_F(WholeBookTest, PicturesThatCannotBeReadFailTheRunAndTouchNothing)
{
    WriteTestFile(Book(), "the earlier book");
    const QString fifo = PathIn("in/pipe.jpg");
    QDir().mkpath(PathIn("in"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    // Files that are no whole picture: empty, cut short, or text under a picture's name.
    WriteTestFile(PathIn("in/empty.jpg"), "");
    const QByteArray jpeg = SmallJpeg();
    WriteTestFile(PathIn("in/cut.jpg"), jpeg.left(jpeg.size() / 2));
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(SourceFolder() + "/samples/page1.jpg").save(&pngBuffer, "PNG"));
    WriteTestFile(PathIn("in/cut.png"), png.left(png.size() / 2));
    WriteTestFile(PathIn("in/notes.jpg"), "These are notes, not a picture.");
    // A name that is not UTF-8, in a folder argument and given directly.
    WriteTestFile(PathIn("latin1/ok.jpg"), SmallJpeg());
    const QByteArray latin1Name = QFile::encodeName(PathIn("latin1/")) + "caf\xe9.jpg";
    ASSERT_EQ(::rename(QFile::encodeName(PathIn("latin1/ok.jpg")).constData(), latin1Name.constData()), 0);
    const QString shownName = QString::fromLocal8Bit(latin1Name);

    const CliRun run =
        Run({Picture("good.jpg"), PathIn("missing.jpg"), fifo, PathIn("in/empty.jpg"), PathIn("in/cut.jpg"),
             PathIn("in/cut.png"), PathIn("in/notes.jpg"), PathIn("latin1"), shownName, "-y"});
    EXPECT_EQ(run.exitCode, 1);
    const auto line = [](const QString& path, const QString& reason) {
        return "Cannot read picture: " + path + " (" + reason + ")\n";
    };
    // In the order of the pages, each file once (the one whose name is not UTF-8 is named twice).
    EXPECT_EQ(run.standardError,
              "Failed to build: " + Book() + "\n" + line(PathIn("missing.jpg"), "No such file or directory")
                  + line(fifo, "not a regular file") + line(PathIn("in/empty.jpg"), "the file is empty")
                  + line(PathIn("in/cut.jpg"), "the picture is cut short")
                  + line(PathIn("in/cut.png"), "the picture is cut short")
                  + line(PathIn("in/notes.jpg"), "not a picture") + line(shownName, "the name is not valid UTF-8"));
    // The temporary folder's clean-up cannot name it.
    ::unlink(latin1Name.constData());
    EXPECT_EQ(ReadTestFile(Book()), "the earlier book");
    ExpectNothingLeftBehind();

    // A picture the run may not read, and a disk that fills up while the book is written.
    const QString locked = Picture("locked.jpg");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(Root()).constData(), 0777), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(PathIn("out")).constData(), 0777), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(PathIn("tmp")).constData(), 0777), 0);
    }
    const QStringList asNobody = ::geteuid() == 0
                                     ? QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"}
                                     : QStringList{};
    const CliRun unreadable = Run({"-y", locked}, asNobody);
    EXPECT_EQ(unreadable.standardError,
              "Failed to build: " + Book() + "\nCannot read picture: " + locked + " (Permission denied)\n");

    // The folder that lacks room is named, not the picture.
    QByteArray noise(300000, Qt::Uninitialized);
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    WriteTestFile(PathIn("big.jpg"), SmallJpeg() + noise);
    const CliRun full = Run({"-y", PathIn("big.jpg")}, {"prlimit", "--fsize=200000", "--"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.standardError,
              "Failed to build: " + Book() + "\nNot enough room to write archive in " + PathIn("out") + "\n");
    EXPECT_EQ(ReadTestFile(Book()), "the earlier book");
    ExpectNothingLeftBehind();
}

TEST_F(WholeBookTest, APictureReadableOnlyAsOneOfTheOthersIsPackedWhole)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving the pictures to another user needs root";
    }
    // Owned by root, read by the run as nobody through the bits of "others" alone.
    const QString othersOnly = Picture("in/others.jpg");
    const QString ownerReadsToo = Picture("in/owner.jpg");
    ASSERT_EQ(::chmod(QFile::encodeName(othersOnly).constData(), 0004), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(ownerReadsToo).constData(), 0604), 0);
    for (const QString& folder : {Root(), PathIn("tmp")}) {
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    }
    const CliRun run =
        Run({othersOnly, ownerReadsToo}, {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(EntriesOfSoundBook(Book()).filter(".jpg"), QStringList({"OEBPS/others.jpg", "OEBPS/owner.jpg"}));
    ExpectNothingLeftBehind();
}

TEST_F(WholeBookTest, AStagingFolderIsTakenOnlyWhenItIsNewEmptyOrOurs)
{
    WriteTestFile(PathIn("foreign/notes.txt"), "the person's own file");
    const CliRun foreign = Run({"--staging", PathIn("foreign"), Picture("a.jpg")});
    EXPECT_EQ(foreign.exitCode, 2);
    EXPECT_TRUE(foreign.standardError.contains("holds files of its own")) << foreign.standardError.toStdString();
    EXPECT_EQ(FolderNames(PathIn("foreign")), QStringList({"notes.txt"}));

    // A staging folder of an earlier run is taken again; a picture from inside it is refused.
    ASSERT_EQ(Run({"--staging", PathIn("kept"), Picture("a.jpg")}).exitCode, 0);
    ASSERT_EQ(Run({"-y", "--staging", PathIn("kept"), Picture("b.jpg")}).exitCode, 0);
    const CliRun inside = Run({"-y", "--staging", PathIn("kept"), PathIn("kept/OEBPS")});
    EXPECT_EQ(inside.exitCode, 2);
    EXPECT_TRUE(inside.standardError.contains("lies in the staging folder")) << inside.standardError.toStdString();
    EXPECT_TRUE(QFileInfo::exists(PathIn("kept/OEBPS/b.jpg")));
}

// Python reads the book: every entry's name, whether every document is well-formed XML, and
// whether each page's picture is an entry of the book.
const char* const kPagesReport = R"(
import sys, zipfile, urllib.parse, xml.etree.ElementTree as tree
with zipfile.ZipFile(sys.argv[1]) as book:
    names = book.namelist()
    for name in names:
        print("entry", name)
    for name in names:
        if name.endswith((".html", ".opf", ".ncx")):
            root = tree.fromstring(book.read(name))
            for img in root.iter("{http://www.w3.org/1999/xhtml}img"):
                print("shows", name, "OEBPS/" + urllib.parse.unquote(img.get("src")) in names)
)";

TEST_F(WholeBookTest, NamesThatCouldLeaveTheBookStayInsideItsFolder)
{
    const QStringList pictures = {Picture("in/a\\b.jpg"), Picture("in/..\\..\\esc.jpg"), Picture("in/x\ny.jpg"),
                                  Picture("in/x\u0001z.jpg")};
    const CliRun run = Run(pictures);
    ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    QString report;
    QString errors;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kPagesReport, Book()}, &report, &errors), 0) << errors.toStdString();
    const QStringList lines = report.split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.filter(QRegularExpression("^entry "))) {
        EXPECT_TRUE(
            QRegularExpression(R"(^entry (mimetype|META-INF/container\.xml|OEBPS/[^/\\]+)$)").match(line).hasMatch())
            << line.toStdString();
    }
    QStringList shown = lines.filter(QRegularExpression("^shows "));
    shown.sort();
    EXPECT_EQ(shown, QStringList({"shows OEBPS/page1.html True", "shows OEBPS/page2.html True",
                                  "shows OEBPS/page3.html True", "shows OEBPS/page4.html True"}));
}

}  // namespace
