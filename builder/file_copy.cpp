#include "builder/file_copy.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

QString SystemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace

QString PictureProblem(const QString& path)
{
    // Opened without waiting, so that a FIFO cannot hold the check up.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        // A name that was not UTF-8 reaches the program with replacement characters in it, and so names
        // nothing.
        if (errno == ENOENT && path.contains(QChar::ReplacementCharacter)) {
            return QStringLiteral("the name is not valid UTF-8");
        }
        return SystemReason(errno);
    }
    struct stat info {};
    const bool regular = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
    ::close(descriptor);
    return regular ? QString() : QStringLiteral("not a regular file");
}

QString CopyFileRefusingOverwrite(const QString& source, const QString& target)
{
    // Only regular files are copied: a FIFO or a device would block or never end.
    const QString problem = PictureProblem(source);
    if (!problem.isEmpty()) {
        return problem;
    }
    const fs::path from(QFile::encodeName(source).toStdString());
    const fs::path to(QFile::encodeName(target).toStdString());
    std::error_code error;
    // The library copies through the kernel where it can, and fails when the target exists.
    if (!fs::copy_file(from, to, fs::copy_options::none, error)) {
        if (error != std::errc::file_exists) {
            std::error_code ignored;
            fs::remove(to, ignored);
        }
        return QString::fromStdString(error.message());
    }
    // The copy keeps the picture's own date, which the book records for each file.
    const fs::file_time_type written = fs::last_write_time(from, error);
    if (!error) {
        fs::last_write_time(to, written, error);
    }
    return {};
}
