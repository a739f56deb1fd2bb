#include "builder/staging/file_copy.h"

#include "common/file_descriptor.h"

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

// How a copy by the kernel went.
enum class KernelCopy { Done, Unsupported, Failed };

// Errors that belong to the file being written whichever call reports them.
bool IsWritingError(int errorNumber)
{
    return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG || errorNumber == EROFS;
}

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

// Copies the whole content through a buffer of the program's.
std::optional<CopyFailure> CopyThroughBuffer(int from, int to)
{
    const auto block = std::make_unique_for_overwrite<char[]>(kCopyBlockSize);
    for (;;) {
        const ssize_t got = ::read(from, block.get(), kCopyBlockSize);
        if (got == 0) {
            return std::nullopt;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return CopyFailure{SystemReason(errno), false};
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t stored = ::write(to, block.get() + written, static_cast<size_t>(got - written));
            if (stored > 0) {
                written += stored;
            } else if (stored == 0 || errno != EINTR) {
                return CopyFailure{SystemReason(stored == 0 ? ENOSPC : errno), true};
            }
        }
    }
}

// Creates the file a copy goes to, refusing when anything is there.
FileDescriptor CreateCopyTarget(const QString& target, const struct stat& sourceInfo, CopyFailure* failure)
{
    FileDescriptor to(::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                             (sourceInfo.st_mode & 0777) | kOwnerReadWrite));
    if (!to.IsOpen()) {
        *failure = CopyFailure{SystemReason(errno), true};
    }
    return to;
}

// The copy keeps the picture's own date, which the book records for each file. Setting it and closing the copy are
// writes too.
std::optional<CopyFailure> FinishCopy(FileDescriptor& to, const struct stat& sourceInfo)
{
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    if (::futimens(to.Get(), times) != 0 || !to.Close()) {
        return CopyFailure{SystemReason(errno), true};
    }
    return std::nullopt;
}

}  // namespace

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

std::optional<CopyFailure> CopyContent(int from, int to)
{
    KernelCopy outcome =
        CopyByKernel([&](size_t size) { return ::copy_file_range(from, nullptr, to, nullptr, size, 0); });
    if (outcome == KernelCopy::Unsupported) {
        outcome = CopyByKernel([&](size_t size) { return ::sendfile(to, from, nullptr, size); });
    }
    if (outcome == KernelCopy::Unsupported) {
        return CopyThroughBuffer(from, to);
    }
    if (outcome == KernelCopy::Failed) {
        // The kernel's copies do not say which side failed, so the error decides.
        return CopyFailure{SystemReason(errno), IsWritingError(errno)};
    }
    return std::nullopt;
}

std::optional<CopyFailure> WriteCopy(const QString& target, const struct stat& sourceInfo,
                                     const std::function<std::optional<CopyFailure>(int descriptor)>& write)
{
    CopyFailure failure;
    FileDescriptor to = CreateCopyTarget(target, sourceInfo, &failure);
    if (!to.IsOpen()) {
        return failure;
    }
    std::optional<CopyFailure> written = write(to.Get());
    if (!written) {
        written = FinishCopy(to, sourceInfo);
    }
    if (written) {
        to.Close();
        ::unlink(QFile::encodeName(target).constData());
    }
    return written;
}

std::optional<CopyFailure> CopyFileRefusingOverwrite(const QString& source, const QString& target)
{
    struct stat info {};
    QString problem;
    const FileDescriptor from = OpenRegularFile(source, &info, &problem);
    if (!from.IsOpen()) {
        return CopyFailure{problem, false};
    }
    return WriteCopy(target, info, [&from](int to) { return CopyContent(from.Get(), to); });
}
