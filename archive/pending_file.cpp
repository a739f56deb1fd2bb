#include "archive/pending_file.h"

#include "archive/zip_errors.h"
#include "archive/zip_records.h"
#include "common/file_name.h"

#include <QFile>

#include <QRandomGenerator>
#include <QtEndian>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// Hidden, and distinct from any name a person would give a file of their own (".tamboril-config"), so that the
// clean-up of a later run never mistakes one for a leftover.
constexpr char kLockedNamePrefix[] = ".tamboril-unfinished-";
constexpr qsizetype kLockedNameRandomLength = 10;
constexpr char kLockedNameCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kNameAttempts = 100;
constexpr mode_t kNewFileMode = 0666;
// The permissions a replaced file passes on: read, write and execute bits only, never setuid, setgid or sticky.
constexpr mode_t kPermissionBits = 0777;

QString RandomTemporaryName()
{
    QString name = QLatin1String(kLockedNamePrefix);
    for (qsizetype i = 0; i < kLockedNameRandomLength; ++i) {
        name += QLatin1Char(
            kLockedNameCharacters[QRandomGenerator::global()->bounded(int(sizeof kLockedNameCharacters) - 1)]);
    }
    return name;
}

// Whether the name is exactly of the form RandomTemporaryName gives.
bool IsLockedFileName(const QByteArray& name)
{
    const QByteArray prefix(kLockedNamePrefix);
    if (!name.startsWith(prefix) || name.size() != prefix.size() + kLockedNameRandomLength) {
        return false;
    }
    const QByteArray random = name.mid(prefix.size());
    return std::all_of(random.cbegin(), random.cend(),
                       [](char c) { return std::strchr(kLockedNameCharacters, c) != nullptr && c != '\0'; });
}

// Whether the open file holds nothing yet, or begins as every archive this program writes, with the local header of
// its first entry, and as `check` (when set) wants it to begin.
bool IsEmptyOrOurStart(int descriptor, const struct stat& info, const LeftoverCheck& check)
{
    if (info.st_size == 0) {
        return true;
    }
    char start[kLeftoverHeadSize];
    const ssize_t got = ::pread(descriptor, start, sizeof start, 0);
    if (got < static_cast<ssize_t>(kLocalHeaderSize) || qFromLittleEndian<quint32>(start) != kLocalHeaderSignature) {
        return false;
    }
    return !check || check(QByteArrayView(start, got));
}

// The permissions to give a file that takes the place of `target`: those of the regular file there itself (a
// symbolic link is replaced, never followed), without setuid, setgid or sticky bits. Nothing when no regular file
// is there.
std::optional<mode_t> ModeToKeep(const QByteArray& target)
{
    struct stat replaced {};
    if (::lstat(target.constData(), &replaced) != 0 || !S_ISREG(replaced.st_mode)) {
        return std::nullopt;
    }
    return replaced.st_mode & kPermissionBits;
}

// Renames `from` to `to` unless something is at `to`; errno tells why not.
bool RenameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without that kind of rename: a second name, which an existing file refuses, then the first
    // name goes.
    if (::link(from.constData(), to.constData()) != 0) {
        return false;
    }
    ::unlink(from.constData());
    return true;
}

// Flushes a folder's list of names to the disk, so that a rename in it survives a loss of power. Some file
// systems cannot; the rename has happened all the same.
void FlushFolder(const QString& folder)
{
    const FileDescriptor descriptor(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.IsOpen()) {
        ::fsync(descriptor.Get());
    }
}

}  // namespace

PendingFile PendingFile::CreateLockedBeside(const QString& target)
{
    const QString folder = FolderOfPath(target);
    const QByteArray folderName = QFile::encodeName(folder);
    // An unnamed file, locked before it gets its name, so that no other run ever sees it named and unlocked.
    FileDescriptor unnamed(::open(folderName.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode));
    if (unnamed.IsOpen() && ::flock(unnamed.Get(), LOCK_EX) == 0) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(unnamed.Get());
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const QString path = folder + u'/' + RandomTemporaryName();
            const QByteArray name = QFile::encodeName(path);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                return PendingFile(std::move(unnamed), path);
            }
            if (errno != EEXIST) {
                break;
            }
        }
    }
    // Where the file system has no unnamed files, the file is named first and locked at once.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString path = folder + u'/' + RandomTemporaryName();
        FileDescriptor named(
            ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, kNewFileMode));
        if (named.IsOpen()) {
            // Unlocked, the file would be taken for a leftover and deleted by the clean-up of another run.
            if (::flock(named.Get(), LOCK_EX) != 0) {
                const int reason = errno;
                ::unlink(QFile::encodeName(path).constData());
                throw EFCreateError(target, reason);
            }
            return PendingFile(std::move(named), path);
        }
        // The person knows the archive by its own name, not by the temporary one beside it.
        if (errno != EEXIST) {
            throw EFCreateError(target, errno);
        }
    }
    throw EFCreateError(target, EEXIST);
}

PendingFile::PendingFile(FileDescriptor descriptor, QString path)
    : descriptor_(std::move(descriptor)),
      path_(std::move(path))
{}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : descriptor_(std::move(other.descriptor_)),
      path_(std::move(other.path_)),
      finished_(other.finished_)
{
    other.finished_ = true;
}

PendingFile::~PendingFile()
{
    if (!finished_) {
        descriptor_.Close();
        ::unlink(QFile::encodeName(path_).constData());
    }
}

int PendingFile::Descriptor() const
{
    return descriptor_.Get();
}

void PendingFile::FlushToDisk() const
{
    if (::fsync(descriptor_.Get()) != 0) {
        ThrowWriteError(errno);
    }
}

void PendingFile::FinishInPlaceOf(const QString& target, bool replace)
{
    const QByteArray from = QFile::encodeName(path_);
    const QByteArray to = QFile::encodeName(target);
    if (const std::optional<mode_t> mode = replace ? ModeToKeep(to) : std::nullopt) {
        ::fchmod(descriptor_.Get(), *mode);
    }
    // The lock is held until the file has its final name, so no other run takes it for a leftover.
    const bool moved = replace ? ::rename(from.constData(), to.constData()) == 0 : RenameWithoutReplacing(from, to);
    if (!moved) {
        if (errno == EEXIST) {
            throw ZipError(QLatin1String(kFileExistsText));
        }
        throw EFCreateError(target, errno);
    }
    finished_ = true;
    descriptor_.Close();
    FlushFolder(FolderOfPath(target));
}

void RemoveAbandonedFiles(const QString& folder, const LeftoverCheck& check)
{
    const QByteArray folderName = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folderName.constData()), ::closedir);
    if (!listing) {
        return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        if (!IsLockedFileName(entry->d_name)) {
            continue;
        }
        const FileDescriptor file(
            ::openat(::dirfd(listing.get()), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        // Only what is provably a leftover of ours goes: a regular file of this user that no run holds locked (a
        // run that still writes the file holds its lock), empty or beginning as our archives begin.
        if (file.IsOpen() && ::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
            && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0 && IsEmptyOrOurStart(file.Get(), info, check)) {
            ::unlinkat(::dirfd(listing.get()), entry->d_name, 0);
        }
    }
}
