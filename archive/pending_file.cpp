#include "archive/pending_file.h"

#include "archive/byte_sink.h"
#include "archive/byte_source.h"
#include "archive/zip_errors.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

constexpr char kTemporaryNameTemplate[] = "/tamboril-XXXXXX";
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

} // namespace

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

PendingFile::PendingFile(FileDescriptor descriptor, QString path)
    : descriptor_(std::move(descriptor)), path_(std::move(path))
{
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : descriptor_(std::move(other.descriptor_)), path_(std::move(other.path_)), finished_(other.finished_)
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
