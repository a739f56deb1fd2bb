#include "builder/staging/staging_folder.h"

#include "builder/staging/folder_tree.h"
#include "builder/workflow/conversion_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The marker of a chosen staging folder, by which a later run may take it again; and the marker of a temporary
// one, as earlier versions staged every book in one, which alone allows a run to remove such a folder that a killed
// run left. Hidden, so that neither goes into a book.
constexpr char kTemporaryMarker[] = ".tamboril-temporary";
// A temporary folder's name while it was being made, and once it was ready.
constexpr char kNewPattern[] = ".tamboril-new-??????";
constexpr char kTemporaryPattern[] = "tamboril-??????";
constexpr char kTemporaryTemplate[] = "/tamboril-XXXXXX";
constexpr char kTemporaryMarkerText[] =
    "A temporary folder of Tamboril. The next conversion removes it once no conversion holds it.\n";

QString SystemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// Whether the folder holds nothing at all, hidden files included.
bool IsEmptyFolder(const QString& folder)
{
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Whether the open folder holds the marker `name` as a regular file of its own.
bool HoldsMarker(int folder, const char* name)
{
    struct stat marker {};
    return ::fstatat(folder, name, &marker, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(marker.st_mode);
}

bool HoldsMarker(const QString& folder, const char* name)
{
    return QFileInfo(folder + u'/' + QLatin1String(name)).isFile();
}

// The folder opened and locked for this process, or closed when another process (or another of ours) holds it,
// or when it is no folder. A symbolic link is never followed.
FileDescriptor LockFolder(const QString& folder)
{
    FileDescriptor descriptor(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (descriptor.IsOpen() && ::flock(descriptor.Get(), LOCK_EX | LOCK_NB) != 0) {
        descriptor.Close();
    }
    return descriptor;
}

// Whether the open folder belongs to this user and is still the one at `path`, not one removed meanwhile.
bool IsOwnFolderAt(const FileDescriptor& folder, const QString& path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(folder.Get(), &opened) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino && opened.st_uid == ::geteuid();
}

// Writes the marker `name` into the open folder; false, with errno set, when it cannot.
bool WriteMarker(int folder, const char* name, const char* text)
{
    const FileDescriptor marker(::openat(folder, name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    const auto size = static_cast<ssize_t>(std::strlen(text));
    return marker.IsOpen() && ::write(marker.Get(), text, static_cast<size_t>(size)) == size;
}

// Removes a temporary staging folder of ours: its content first, then its marker, then the folder, so that a
// removal that stops half-way, whatever stops it, leaves the folder marked for a later run.
void RemoveTemporaryFolder(const QString& folder, const std::function<bool()>& stopRequested)
{
    const QByteArray name = QFile::encodeName(folder);
    if (DeleteFolderContent(folder, QLatin1String(kTemporaryMarker), stopRequested)) {
        ::unlink(QFile::encodeName(folder + u'/' + QLatin1String(kTemporaryMarker)).constData());
        ::rmdir(name.constData());
    }
}

}  // namespace

StagingFolder::StagingFolder(const QString& chosenFolder)
{
    const QString problem = ChosenStagingProblem(chosenFolder);
    if (!problem.isEmpty()) {
        throw ConversionError(problem);
    }
    path_ = QFileInfo(chosenFolder).absoluteFilePath();
    if (!QDir().mkpath(path_)) {
        throw ConversionError(QStringLiteral("cannot create the staging folder %1").arg(path_));
    }
    lock_ = LockFolder(path_);
    if (!lock_.IsOpen()) {
        throw ConversionError(QStringLiteral("the staging folder %1 is in use by another conversion").arg(path_));
    }
    if (!WriteMarker(lock_.Get(), kChosenStagingMarker, "A staging folder of Tamboril.\n")) {
        throw ConversionError(
            QStringLiteral("cannot write in the staging folder %1: %2").arg(path_, SystemReason(errno)));
    }
}

TemporaryWorkFolder::TemporaryWorkFolder()
{
    const QString parent = QDir::tempPath();
    // Qt's answer is empty when TMPDIR names a folder that does not exist; the root is no place to work in.
    if (parent.isEmpty()) {
        throw ConversionError(QStringLiteral("Cannot create a temporary folder in %1: %2")
                                  .arg(qEnvironmentVariable("TMPDIR"), SystemReason(ENOENT)));
    }
    QByteArray name = QFile::encodeName(parent + QLatin1String(kTemporaryTemplate));
    if (::mkdtemp(name.data()) == nullptr) {
        throw ConversionError(
            QStringLiteral("Cannot create a temporary folder in %1: %2").arg(parent, SystemReason(errno)));
    }
    path_ = QFile::decodeName(name);
    // Locked before it is marked, so that no run ever finds it marked and free while it is ours.
    lock_ = LockFolder(path_);
    if (!lock_.IsOpen() || !WriteMarker(lock_.Get(), kTemporaryMarker, kTemporaryMarkerText)) {
        const int reason = errno;
        ::rmdir(name.constData());
        throw ConversionError(
            QStringLiteral("Cannot write in the temporary folder %1: %2").arg(path_, SystemReason(reason)));
    }
}

TemporaryWorkFolder::~TemporaryWorkFolder()
{
    RemoveTemporaryFolder(path_, {});
}

QString StagingFolder::Path() const
{
    return path_;
}

QString ChosenStagingProblem(const QString& chosenFolder)
{
    const QFileInfo folder(chosenFolder);
    if (!folder.exists() && !folder.isSymLink()) {
        return {};
    }
    if (!folder.isDir() || folder.isSymLink()) {
        return QStringLiteral("the staging folder %1 is not a folder").arg(chosenFolder);
    }
    // Taken, it would keep that marker and be removed by a later run.
    if (HoldsMarker(chosenFolder, kTemporaryMarker)) {
        return QStringLiteral("the staging folder %1 is the temporary folder of another conversion").arg(chosenFolder);
    }
    if (!HoldsMarker(chosenFolder, kChosenStagingMarker) && !IsEmptyFolder(chosenFolder)) {
        return QStringLiteral("the staging folder %1 holds files of its own; give a new or empty folder, or one "
                              "that tamboril-cli staged a book in")
            .arg(chosenFolder);
    }
    return {};
}

void RemoveAbandonedStagingFolders(const std::function<bool()>& stopRequested)
{
    // An empty answer (TMPDIR names no folder) would mean the working folder.
    const QString parent = QDir::tempPath();
    if (parent.isEmpty()) {
        return;
    }
    const QDir temporary(parent);
    const QStringList candidates = temporary.entryList({QLatin1String(kTemporaryPattern), QLatin1String(kNewPattern)},
                                                       QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QString& name : candidates) {
        if (stopRequested && stopRequested()) {
            return;
        }
        const QString folder = temporary.filePath(name);
        // Proof that the folder is a leftover of ours: our marker, which nothing else writes, in a folder of this
        // user that no running conversion holds locked. Nothing else counts, however its name looks.
        const FileDescriptor lock = LockFolder(folder);
        if (lock.IsOpen() && HoldsMarker(lock.Get(), kTemporaryMarker) && IsOwnFolderAt(lock, folder)) {
            RemoveTemporaryFolder(folder, stopRequested);
        }
    }
}
