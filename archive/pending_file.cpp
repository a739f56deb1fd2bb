#include "archive/pending_file.h"

#include "archive/byte_sink.h"
#include "archive/byte_source.h"
#include "archive/zip_errors.h"

#include <QFile>
#include <QFileInfo>

#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr char kTemporaryNameTemplate[] = "/tamboril-XXXXXX";
// Hidden, and short enough to fit in any folder that holds a name of 255 bytes.
constexpr char kLockedNamePrefix[] = ".tamboril-";
constexpr qsizetype kLockedNameRandomLength = 6;
constexpr int kNameAttempts = 100;
constexpr qint64 kCopyBlockSize = 65536;
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

// Streams the file at `from` into the open file `to`. A copy that comes out shorter than the file
// (a read that failed on the way) is an error, never a finished archive.
void CopyContent(const QString& from, int to)
{
    const FileDescriptor source(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!source.IsOpen() || ::fstat(source.Get(), &status) != 0) {
        throw EFCreateError(from, errno);
    }
    FileReader reader(source.Get(), 0);
    FileSink sink(to);
    std::vector<char> block(kCopyBlockSize);
    qint64 copied = 0;
    qint64 got = 0;
    do {
        got = reader.Read(block.data(), kCopyBlockSize);
        if (sink.Write(block.data(), got) != got) {
            throw ENotEnoughRoom();
        }
        copied += got;
    } while (got == kCopyBlockSize);
    if (copied != status.st_size) {
        throw ZipError(QStringLiteral("Cannot read file \"%1\" to its end.").arg(from));
    }
}

QString RandomTemporaryName()
{
    static constexpr char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = QLatin1String(kLockedNamePrefix);
    for (qsizetype i = 0; i < kLockedNameRandomLength; ++i) {
        name += QLatin1Char(kCharacters[QRandomGenerator::global()->bounded(int(sizeof kCharacters) - 1)]);
    }
    return name;
}

bool IsLockedFileName(const QByteArray& name)
{
    return name.startsWith(kLockedNamePrefix)
           && name.size() == qsizetype(sizeof kLockedNamePrefix) - 1 + kLockedNameRandomLength;
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

PendingFile PendingFile::Create(const QString& path)
{
    FileDescriptor descriptor(
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode));
    if (!descriptor.IsOpen()) {
        throw EFCreateError(path, errno);
    }
    return PendingFile(std::move(descriptor), path);
}

PendingFile PendingFile::CreateTemporary(const QString& folder)
{
    QByteArray name = QFile::encodeName(folder + QLatin1String(kTemporaryNameTemplate));
    FileDescriptor descriptor(::mkostemp(name.data(), O_CLOEXEC));
    if (!descriptor.IsOpen()) {
        throw EFCreateError(folder + QLatin1String(kTemporaryNameTemplate), errno);
    }
    return PendingFile(std::move(descriptor), QFile::decodeName(name));
}

PendingFile PendingFile::CreateLockedBeside(const QString& target)
{
    const QString folder = QFileInfo(target).absolutePath();
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
            ::flock(named.Get(), LOCK_EX);
            return PendingFile(std::move(named), path);
        }
        if (errno != EEXIST) {
            throw EFCreateError(path, errno);
        }
    }
    throw EFCreateError(folder + u'/' + QLatin1String(kLockedNamePrefix), EEXIST);
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

void PendingFile::Finish()
{
    if (!descriptor_.Close()) {
        throw ENotEnoughRoom();
    }
    finished_ = true;
}

void PendingFile::FlushToDisk() const
{
    if (::fsync(descriptor_.Get()) != 0) {
        throw ENotEnoughRoom();
    }
}

void PendingFile::FinishInPlaceOf(const QString& target, bool replace)
{
    const QByteArray from = QFile::encodeName(path_);
    const QByteArray to = QFile::encodeName(target);
    struct stat replaced {};
    if (replace && ::stat(to.constData(), &replaced) == 0) {
        ::fchmod(descriptor_.Get(), replaced.st_mode & kPermissionBits);
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
    FlushFolder(QFileInfo(target).absolutePath());
}

void PendingFile::FinishAsReplacementOf(const QString& target)
{
    if (!descriptor_.Close()) {
        throw ENotEnoughRoom();
    }
    const QByteArray targetName = QFile::encodeName(target);
    // The new archive keeps the permissions of the one it replaces.
    struct stat replaced {};
    const bool keepMode = ::stat(targetName.constData(), &replaced) == 0;
    if (keepMode) {
        ::chmod(QFile::encodeName(path_).constData(), replaced.st_mode & kPermissionBits);
    }
    if (::rename(QFile::encodeName(path_).constData(), targetName.constData()) == 0) {
        finished_ = true;
        return;
    }
    if (errno != EXDEV) {
        throw EFCreateError(target, errno);
    }
    // This file stays unfinished, so it is deleted once its copy has taken the target's place.
    PendingFile copy = CreateTemporary(QFileInfo(target).absolutePath());
    CopyContent(path_, copy.Descriptor());
    if (keepMode) {
        ::fchmod(copy.Descriptor(), replaced.st_mode & kPermissionBits);
    }
    copy.FinishAsReplacementOf(target);
}

void RemoveAbandonedFiles(const QString& folder)
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
        // A run that still writes the file holds its lock.
        if (file.IsOpen() && ::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode)
            && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(::dirfd(listing.get()), entry->d_name, 0);
        }
    }
}
