#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

void WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ADD_FAILURE() << "cannot create " << path.toStdString();
        return;
    }
    if (file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
}

QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

QStringList FolderNames(const QString& folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end());  // by code unit, whatever the locale
    return names;
}

QString BuiltProgramsFolder()
{
    return QStringLiteral(TAMBORIL_BIN_DIR);
}

QString SourceFolder()
{
    return QStringLiteral(TAMBORIL_SOURCE_DIR);
}

QByteArray SmallJpeg(const QByteArray& note)
{
    QByteArray picture = ReadTestFile(SourceFolder() + "/samples/page1.jpg");
    // A comment marker (0xFFFE) just after the start of the picture, its length counting its own two bytes.
    const auto length = static_cast<int>(note.size() + 2);
    const QByteArray comment = QByteArray("\xFF\xFE") + char(length >> 8) + char(length & 0xFF) + note;
    return picture.insert(2, comment);
}

QString PythonProgram()
{
    return QStringLiteral(TAMBORIL_PYTHON);
}

namespace {

// The actions that give a started program its standard streams, released on every way out.
class SpawnFileActions {
public:
    SpawnFileActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    void Open(int stream, const QByteArray& path, int flags)
    {
        posix_spawn_file_actions_addopen(&actions_, stream, path.constData(), flags, 0600);
    }
    const posix_spawn_file_actions_t* Get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

constexpr int kProgramTimeoutMs = 240000;

// Runs a program to its end with its standard streams in files; the exit code, or -1 when it did not start, was
// killed or did not finish in time. The program is started by posix_spawn rather than QProcess: QProcess starts
// it with a clone that shares the parent's memory, which ThreadSanitizer's runtime cannot follow, and the archive
// tests run under ThreadSanitizer too.
int RunToEnd(const QString& program, const QStringList& arguments, const QByteArray& standardInput,
             QByteArray* standardOutput, QByteArray* standardError)
{
    const QTemporaryDir streams;
    const QString input = streams.filePath("in");
    const QString output = streams.filePath("out");
    const QString errors = streams.filePath("err");
    WriteTestFile(input, standardInput);
    SpawnFileActions actions;
    actions.Open(STDIN_FILENO, QFile::encodeName(input), O_RDONLY);
    actions.Open(STDOUT_FILENO, QFile::encodeName(output), O_WRONLY | O_CREAT | O_TRUNC);
    actions.Open(STDERR_FILENO, QFile::encodeName(errors), O_WRONLY | O_CREAT | O_TRUNC);
    QList<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments) {
        words << argument.toLocal8Bit();
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], actions.Get(), nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return -1;
    }
    const int childFd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    pollfd finished{childFd, POLLIN, 0};
    if (childFd >= 0 && ::poll(&finished, 1, kProgramTimeoutMs) == 0) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        ::kill(child, SIGKILL);
    }
    if (childFd >= 0) {
        ::close(childFd);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    *standardOutput = ReadTestFile(output);
    *standardError = ReadTestFile(errors);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int RunProgram(const QString& program, const QStringList& arguments, QString* standardOutput, QString* standardError,
               const QByteArray& standardInput)
{
    QByteArray output;
    QByteArray errors;
    const int exitCode = RunToEnd(program, arguments, standardInput, &output, &errors);
    if (standardOutput != nullptr) {
        *standardOutput = QString::fromUtf8(output);
    }
    if (standardError != nullptr) {
        *standardError = QString::fromUtf8(errors);
    }
    return exitCode;
}

QByteArray ProgramOutput(const QString& program, const QStringList& arguments)
{
    QByteArray output;
    QByteArray errors;
    RunToEnd(program, arguments, {}, &output, &errors);
    return output;
}
