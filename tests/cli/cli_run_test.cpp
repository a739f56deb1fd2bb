#include "tests/cli/cli_run_test.h"

#include "tests/support/test_files.h"

#include <QDir>
#include <QThread>

#include <gtest/gtest.h>

void CliRunTest::SetUp()
{
    TempFolderTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp")));
}

QString CliRunTest::Book() const
{
    return PathIn("out/T.epub");
}

QProcessEnvironment CliRunTest::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", PathIn("tmp"));
    return environment;
}

std::unique_ptr<QProcess> CliRunTest::Start(const QStringList& arguments, const QStringList& prefix)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(Environment());
    const QStringList command =
        prefix + QStringList{CliProgram(), "-t", "T", "-a", "A", "-o", PathIn("out")} + arguments;
    process->start(command.first(), command.mid(1));
    EXPECT_TRUE(process->waitForStarted());
    return process;
}

CliRun CliRunTest::Run(const QStringList& arguments, const QStringList& prefix)
{
    const std::unique_ptr<QProcess> process = Start(arguments, prefix);
    EXPECT_TRUE(process->waitForFinished(240000));
    return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
            QString::fromUtf8(process->readAllStandardOutput()), QString::fromUtf8(process->readAllStandardError())};
}

QString CliRunTest::Picture(const QString& relativePath)
{
    WriteTestFile(PathIn(relativePath), SmallJpeg(("picture " + relativePath).toUtf8()));
    return PathIn(relativePath);
}

bool CliRunTest::TemporaryBookExists() const
{
    return !QDir(PathIn("out")).entryList({".tamboril-*"}, QDir::Files | QDir::Hidden).isEmpty();
}

void CliRunTest::ExpectNothingLeftBehind()
{
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));
    EXPECT_EQ(FolderNames(PathIn("tmp")), QStringList());
}

void WaitUntil(QProcess& process, const std::function<bool()>& moment)
{
    while (process.state() == QProcess::Running && !moment()) {
        QThread::usleep(500);
    }
}

QStringList EntriesOfSoundBook(const QString& book)
{
    if (RunProgram("unzip", {"-tq", book}) != 0) {
        return {};
    }
    QString listing;
    RunProgram("unzip", {"-Z1", book}, &listing);
    return listing.split('\n', Qt::SkipEmptyParts);
}
