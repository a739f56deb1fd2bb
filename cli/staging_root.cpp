#include "cli/staging_root.h"

#include "builder/conversion_error.h"
#include "builder/folder_tree.h"
#include "builder/staging_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

// The marker file of a staging folder of ours. Hidden, so it never goes into a book.
constexpr char kMarkerName[] = ".tamboril-staging";
constexpr char kTemporaryTemplate[] = "/tamboril-XXXXXX";
// New temporary folders made before giving up, when other runs keep removing them.
constexpr int kCreationAttempts = 8;

// Whether the folder holds nothing at all, hidden files included.
bool IsEmptyFolder(const QString& folder)
{
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

bool IsMarked(const QString& folder)
{
    return QFileInfo(folder + u'/' + QLatin1String(kMarkerName)).isFile();
}

// The folder opened and locked for this process, or closed when another process holds it.
FileDescriptor LockFolder(const QString& folder)
{
    FileDescriptor descriptor(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (descriptor.IsOpen() && ::flock(descriptor.Get(), LOCK_EX | LOCK_NB) != 0) {
        descriptor.Close();
    }
    return descriptor;
}

// Whether the open folder is still the one at `path`, not one removed meanwhile.
bool IsFolderAt(const FileDescriptor& folder, const QString& path)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(folder.Get(), &opened) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

StagingRoot::StagingRoot(const QString& chosenFolder, const QString& installationRoot)
{
    if (chosenFolder.isEmpty()) {
        if (!TakeTemporaryFolder()) {
            return;
        }
    } else {
        problem_ = ChosenStagingProblem(chosenFolder);
        path_ = QFileInfo(chosenFolder).absoluteFilePath();
        if (!problem_.isEmpty()) {
            return;
        }
        if (!QDir().mkpath(path_)) {
            problem_ = QStringLiteral("cannot create the staging folder %1").arg(path_);
            return;
        }
        lock_ = LockFolder(path_);
        if (!lock_.IsOpen()) {
            problem_ = QStringLiteral("the staging folder %1 is in use by another conversion").arg(path_);
            return;
        }
    }
    MarkAndSeed(installationRoot);
}

StagingRoot::~StagingRoot()
{
    if (!temporary_) {
        return;
    }
    // Everything but the marker goes first, so that a run killed meanwhile leaves its folder still
    // marked, for the next run to remove. So does a folder whose content cannot all be removed now.
    const QFileInfoList entries =
        QDir(path_).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    bool emptied = true;
    for (const QFileInfo& entry : entries) {
        if (entry.fileName() != QLatin1String(kMarkerName)) {
            emptied = DeleteFolderTree(entry.filePath()) && emptied;
        }
    }
    temporary_->setAutoRemove(emptied);
    temporary_.reset();
}

bool StagingRoot::TakeTemporaryFolder()
{
    // Another run cleaning up may remove a new folder in the moment before it is locked, taking it for
    // one that a killed run left empty; then another is made.
    for (int attempt = 0; attempt < kCreationAttempts; ++attempt) {
        temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QLatin1String(kTemporaryTemplate));
        if (!temporary_->isValid()) {
            problem_ = QStringLiteral("cannot create a staging folder in %1: %2")
                           .arg(QDir::tempPath(), temporary_->errorString());
            return false;
        }
        path_ = temporary_->path();
        lock_ = LockFolder(path_);
        if (lock_.IsOpen() && IsFolderAt(lock_, path_)) {
            return true;
        }
    }
    problem_ =
        QStringLiteral("cannot keep a staging folder in %1: other runs removed each new one").arg(QDir::tempPath());
    return false;
}

void StagingRoot::MarkAndSeed(const QString& installationRoot)
{
    // Marked only once locked, so that no other run ever finds it marked and free while it is ours.
    QFile marker(path_ + u'/' + QLatin1String(kMarkerName));
    if (!marker.open(QIODevice::WriteOnly) || marker.write("Staging folder of tamboril-cli.\n") < 0) {
        problem_ = QStringLiteral("cannot write in the staging folder %1: %2").arg(path_, marker.errorString());
        return;
    }
    try {
        SeedStagingRoot(installationRoot, path_);
    } catch (const ConversionError& error) {
        problem_ = QString::fromUtf8(error.what());
    }
}

QString StagingRoot::Problem() const
{
    return problem_;
}

QString StagingRoot::Path() const
{
    return path_;
}

QString ChosenStagingProblem(const QString& chosenFolder)
{
    const QFileInfo folder(chosenFolder);
    if (!folder.exists() && !folder.isSymLink()) {
        return {};
    }
    if (!folder.isDir()) {
        return QStringLiteral("the staging folder %1 is not a folder").arg(chosenFolder);
    }
    if (!IsMarked(chosenFolder) && !IsEmptyFolder(chosenFolder)) {
        return QStringLiteral("the staging folder %1 holds files of its own; give a new or empty folder, or one "
                              "that tamboril-cli staged a book in")
            .arg(chosenFolder);
    }
    return {};
}

void RemoveAbandonedStagingFolders()
{
    const QDir temporary(QDir::tempPath());
    const QStringList candidates =
        temporary.entryList({QStringLiteral("tamboril-??????")}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QString& name : candidates) {
        const QString folder = temporary.filePath(name);
        // A folder that a running conversion uses is locked. An unmarked one is ours only when it is
        // empty: a run killed between making its folder and marking it leaves it so.
        const FileDescriptor lock = LockFolder(folder);
        if (lock.IsOpen() && (IsMarked(folder) || IsEmptyFolder(folder))) {
            DeleteFolderTree(folder);
        }
    }
}
