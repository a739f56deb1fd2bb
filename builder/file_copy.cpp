#include "builder/file_copy.h"

#include "archive/file_descriptor.h"

#include <QFile>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kCopyBlockSize = 1 << 20;
// What the owner of a copy may always do with it.
constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;

QString SystemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// Opened without waiting, so that a FIFO cannot hold the caller up; closed when nothing can be
// read from it as a file.
FileDescriptor OpenRegularFile(const QString& path, struct stat* info, QString* problem)
{
    FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen()) {
        // A name that was not UTF-8 reaches the program with replacement characters in it, and so
        // names nothing.
        const bool undecodable = errno == ENOENT && path.contains(QChar::ReplacementCharacter);
        *problem = undecodable ? QStringLiteral("the name is not valid UTF-8") : SystemReason(errno);
    } else if (::fstat(file.Get(), info) != 0 || !S_ISREG(info->st_mode)) {
        *problem = QStringLiteral("not a regular file");
        file.Close();
    }
    return file;
}

// How a copy by the kernel went.
enum class KernelCopy { Done, Unsupported, Failed };

// Errors that belong to the file being written whichever call reports them.
bool IsWritingError(int errorNumber)
{
    return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG || errorNumber == EROFS;
}

// A failed copy, with errno telling why and `writing` which side failed.
struct ContentCopy {
    bool done = true;
    bool writing = false;
};

// Copies the whole content with one of the kernel's copies, which move the bytes without bringing
// them into the program. Unsupported when the kernel cannot copy between these two files this way.
template <typename CopyCall>
KernelCopy CopyByKernel(CopyCall copy)
{
    for (;;) {
        const ssize_t copied = copy(kCopyBlockSize);
        if (copied == 0) {
            return KernelCopy::Done;
        }
        if (copied < 0) {
            if (errno == EINTR) {
                continue;
            }
            const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
            return unsupported ? KernelCopy::Unsupported : KernelCopy::Failed;
        }
    }
}

// Copies the whole content through a buffer of the program's. On failure errno tells why.
ContentCopy CopyThroughBuffer(int from, int to)
{
    const auto block = std::make_unique_for_overwrite<char[]>(kCopyBlockSize);
    for (;;) {
        const ssize_t got = ::read(from, block.get(), kCopyBlockSize);
        if (got == 0) {
            return {};
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {false, false};
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t stored = ::write(to, block.get() + written, static_cast<size_t>(got - written));
            if (stored > 0) {
                written += stored;
            } else if (stored == 0 || errno != EINTR) {
                errno = stored == 0 ? ENOSPC : errno;
                return {false, true};
            }
        }
    }
}

// Copies the whole content. Within one file system the kernel copies between the files (sharing
// the blocks on file systems that allow it); across file systems it still moves the bytes itself;
// only where it can do neither do they pass through a buffer. On failure errno tells why; the
// kernel's copies do not say which side failed, so the error decides.
ContentCopy CopyContent(int from, int to)
{
    KernelCopy outcome =
        CopyByKernel([&](size_t size) { return ::copy_file_range(from, nullptr, to, nullptr, size, 0); });
    if (outcome == KernelCopy::Unsupported) {
        outcome = CopyByKernel([&](size_t size) { return ::sendfile(to, from, nullptr, size); });
    }
    if (outcome == KernelCopy::Unsupported) {
        return CopyThroughBuffer(from, to);
    }
    return {outcome == KernelCopy::Done, outcome == KernelCopy::Failed && IsWritingError(errno)};
}

}  // namespace

QString PictureProblem(const QString& path)
{
    struct stat info {};
    QString problem;
    OpenRegularFile(path, &info, &problem);
    return problem;
}

std::optional<CopyFailure> CopyFileRefusingOverwrite(const QString& source, const QString& target)
{
    struct stat info {};
    QString problem;
    const FileDescriptor from = OpenRegularFile(source, &info, &problem);
    if (!from.IsOpen()) {
        return CopyFailure{problem, false};
    }
    const QByteArray targetName = QFile::encodeName(target);
    // Refuses, as the copy must, when anything is at the target already.
    FileDescriptor to(::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                             (info.st_mode & 0777) | kOwnerReadWrite));
    if (!to.IsOpen()) {
        return CopyFailure{SystemReason(errno), true};
    }
    ContentCopy copy = CopyContent(from.Get(), to.Get());
    // The copy keeps the picture's own date, which the book records for each file. Setting it and closing the
    // copy are writes too.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (copy.done && (::futimens(to.Get(), times) != 0 || !to.Close())) {
        copy = {false, true};
    }
    if (!copy.done) {
        const int reason = errno;
        ::unlink(targetName.constData());
        return CopyFailure{SystemReason(reason), copy.writing};
    }
    return std::nullopt;
}
