// Each run stages its book in a folder of its own and removes it; the clean-up of what earlier runs left removes
// only what it can prove they made; a run's outcome is settled once its book has taken its place.
#include "tests/cli/cli_program.h"
#include "tests/cli/cli_run_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using StagingTest = CliRunTest;

// What a run that was killed while it staged leaves in the temporary folder: its folder, marked as ours.
void LeaveAbandonedStagingFolder(const QString& folder)
{
    WriteTestFile(folder + "/.tamboril-temporary", "");
    WriteTestFile(folder + "/OEBPS/page1.html", "page");
}

TEST_F(StagingTest, CleanUpRemovesOnlyWhatItCanProveEarlierRunsLeft)
{
    // A folder chosen with --staging is kept, and keeps what the person puts there, whatever its name.
    ASSERT_EQ(Run({"--staging", PathIn("tmp/tamboril-mybook"), Picture("a.jpg")}).exitCode, 0);
    WriteTestFile(PathIn("tmp/tamboril-mybook/NOTES.txt"), "the person's notes");
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp/tamboril-photos")));
    LeaveAbandonedStagingFolder(PathIn("tmp/tamboril-Killed"));
    QStringList kept = {"tamboril-mybook", "tamboril-photos"};
    if (::geteuid() == 0) {
        // Marked, but another user's.
        LeaveAbandonedStagingFolder(PathIn("tmp/tamboril-Others"));
        ASSERT_EQ(::chown(QFile::encodeName(PathIn("tmp/tamboril-Others")).constData(), 65534, 65534), 0);
        kept.prepend("tamboril-Others");
    }
    // Beside the book: the person's files that look like ours, and the temporary books of killed runs.
    WriteTestFile(PathIn("out/.tamboril-config"), "the person's settings");
    WriteTestFile(PathIn("out/.tamboril-backup"), "");
    WriteTestFile(PathIn("out/.tamboril-unfinished-notABook01"), "the person's file");
    WriteTestFile(PathIn("out/.tamboril-unfinished-empty00001"), "");
    WriteTestFile(PathIn("out/.tamboril-unfinished-Killed0001"), ReadTestFile(Book()).left(100));

    const CliRun run = Run({"-y", Picture("b.jpg")});
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(FolderNames(PathIn("tmp")), kept);
    EXPECT_EQ(ReadTestFile(PathIn("tmp/tamboril-mybook/NOTES.txt")), "the person's notes");
    EXPECT_EQ(FolderNames(PathIn("out")),
              QStringList({".tamboril-backup", ".tamboril-config", ".tamboril-unfinished-notABook01", "T.epub"}));
}

TEST_F(StagingTest, AChosenStagingFolderIsComparedWherePathsLeadAndNamesMustBeUtf8)
{
    ASSERT_EQ(Run({"--staging", PathIn("kept"), Picture("a.jpg")}).exitCode, 0);
    // A picture reached through a link into the folder the run empties, and an output folder inside it.
    ASSERT_EQ(
        ::symlink(QFile::encodeName(PathIn("kept/OEBPS")).constData(), QFile::encodeName(PathIn("link")).constData()),
        0);
    const CliRun linked = Run({"-y", "--staging", PathIn("kept"), PathIn("link/a.jpg")});
    EXPECT_EQ(linked.exitCode, 2);
    EXPECT_TRUE(linked.standardError.contains("lies in the staging folder")) << linked.standardError.toStdString();
    EXPECT_TRUE(QFileInfo::exists(PathIn("kept/OEBPS/a.jpg")));
    const CliRun inside =
        RunCli({"-t", "T", "-a", "A", "-o", PathIn("link/../books"), "--staging", PathIn("kept"), Picture("b.jpg")});
    EXPECT_EQ(inside.exitCode, 2);
    EXPECT_TRUE(inside.standardError.contains("the output folder")) << inside.standardError.toStdString();
    EXPECT_FALSE(QFileInfo::exists(PathIn("kept/books")));

    // A folder name that is not UTF-8 is refused, never turned into another name.
    for (const QString option : {"-o", "--staging"}) {
        QString errors;
        const int status =
            RunProgram("sh",
                       {"-c", R"sh(root=$1; shift; exec "$@" "$(printf '%s/bad\377' "$root")")sh", "sh", Root(),
                        CliProgram(), "-t", "T", "-a", "A", "-o", PathIn("out"), Picture("c.jpg"), option},
                       nullptr, &errors);
        EXPECT_EQ(status, 2) << option.toStdString();
        EXPECT_TRUE(errors.contains("is not valid UTF-8")) << errors.toStdString();
        EXPECT_TRUE(QDir(Root()).entryList({"bad*"}).isEmpty()) << option.toStdString();
    }
}

TEST_F(StagingTest, ATemporaryFolderThatIsNotThereIsNeverReplacedByTheRoot)
{
    // Nothing is staged; the clean-up of what earlier runs left looks in no other folder.
    QString errors;
    const int status = RunProgram(
        "env",
        {"TMPDIR=" + PathIn("missing"), CliProgram(), "-t", "T", "-a", "A", "-o", PathIn("out"), Picture("a.jpg")},
        nullptr, &errors);
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_TRUE(QFileInfo(Book()).isFile());
    EXPECT_FALSE(QFileInfo::exists(PathIn("missing")));
}

TEST_F(StagingTest, ASignalAfterTheBookTookItsPlaceStillEndsTheRunWithSuccess)
{
    // Pages enough that removing their staged copies takes a while.
    constexpr int kPages = 3000;
    WriteTestFile(PathIn("many/p0.jpg"), SmallJpeg());
    for (int page = 1; page < kPages; ++page) {
        ASSERT_EQ(::link(QFile::encodeName(PathIn("many/p0.jpg")).constData(),
                         QFile::encodeName(PathIn(QString("many/p%1.jpg").arg(page))).constData()),
                  0);
    }
    const std::unique_ptr<QProcess> run = Start({PathIn("many")});
    ASSERT_TRUE(run->waitForReadyRead(240000));
    EXPECT_TRUE(run->readAllStandardOutput().startsWith("Successed to build: "));
    ::kill(static_cast<pid_t>(run->processId()), SIGINT);
    ASSERT_TRUE(run->waitForFinished(240000));
    EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
    EXPECT_EQ(EntriesOfSoundBook(Book()).filter(".jpg").size(), kPages);

    // What the interrupted clean-up left, the next run removes.
    EXPECT_EQ(Run({"-y", Picture("a.jpg")}).exitCode, 0);
    ExpectNothingLeftBehind();
}

// Runs a program on a terminal of its own, answers nothing to its question, and sends it a signal once it asks;
// prints its exit status and whether it ended within ten seconds.
const char* const kSignalAtTheQuestion = R"py(
import os, pty, sys, time
pid, terminal = pty.fork()
if pid == 0:
    os.execvp(sys.argv[2], sys.argv[2:])
shown = b""
while b"Overwrite?" not in shown:
    shown += os.read(terminal, 1024)
os.kill(pid, int(sys.argv[1]))
for _ in range(1000):
    ended, status = os.waitpid(pid, os.WNOHANG)
    if ended:
        print(os.waitstatus_to_exitcode(status))
        sys.exit(0)
    time.sleep(0.01)
os.kill(pid, 9)
print("still asking")
)py";

TEST_F(StagingTest, TheOverwriteQuestionEndsAtOnceOnASignalLeavingNothing)
{
    WriteTestFile(Book(), "the earlier book");
    const QString picture = Picture("a.jpg");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        QString report;
        QString errors;
        ASSERT_EQ(RunProgram(PythonProgram(),
                             {"-c", kSignalAtTheQuestion, QString::number(signal), "env", "TMPDIR=" + PathIn("tmp"),
                              CliProgram(), "-t", "T", "-a", "A", "-o", PathIn("out"), picture},
                             &report, &errors),
                  0)
            << errors.toStdString();
        EXPECT_EQ(report.trimmed(), QString::number(128 + signal));
        EXPECT_EQ(ReadTestFile(Book()), "the earlier book");
        EXPECT_EQ(FolderNames(PathIn("tmp")), QStringList());
    }
}

}  // namespace
