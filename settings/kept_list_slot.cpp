#include "settings/kept_list_slot.h"

#include "settings/book_list_file.h"
#include "settings/program_places.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

const QString kSlotPrefix = QStringLiteral("kept-");
const QString kListName = QStringLiteral("pages.list");
// How old a slot without a list must be before it counts as left behind rather than just made.
constexpr qint64 kYoungestEmptySlotSeconds = 60;

// The folder opened and locked for this process; closed when another process holds it or it is no folder. A
// symbolic link is never followed.
FileDescriptor LockFolder(const QString& folder)
{
    FileDescriptor descriptor(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (descriptor.IsOpen() && ::flock(descriptor.Get(), LOCK_EX | LOCK_NB) != 0) {
        descriptor.Close();
    }
    return descriptor;
}

}  // namespace

KeptListSlot::KeptListSlot(QString folder, FileDescriptor lock) : folder_(std::move(folder)), lock_(std::move(lock)) {}

KeptListSlot KeptListSlot::Claim(const QString& stateFolder)
{
    MakePrivateFolder(stateFolder);
    QByteArray pattern = QFile::encodeName(stateFolder + u'/' + kSlotPrefix + QStringLiteral("XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw BookListError(QStringLiteral("Unable to make a folder in %1 to keep the page list: %2")
                                .arg(stateFolder, QString::fromLocal8Bit(std::strerror(errno))));
    }
    const QString folder = QFile::decodeName(pattern);
    FileDescriptor lock = LockFolder(folder);
    if (!lock.IsOpen()) {
        throw BookListError(QStringLiteral("Unable to lock %1 to keep the page list: %2")
                                .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    }
    return KeptListSlot(folder, std::move(lock));
}

std::vector<KeptListSlot> KeptListSlot::LeftBehind(const QString& stateFolder)
{
    std::vector<KeptListSlot> leftBehind;
    const QFileInfoList folders =
        QDir(stateFolder).entryInfoList({kSlotPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.isSymLink()) {
            continue;
        }
        FileDescriptor lock = LockFolder(folder.absoluteFilePath());
        if (!lock.IsOpen()) {
            continue;
        }
        KeptListSlot slot(folder.absoluteFilePath(), std::move(lock));
        if (QFileInfo(slot.ListPath()).isFile()) {
            leftBehind.push_back(std::move(slot));
        } else if (folder.lastModified().secsTo(QDateTime::currentDateTime()) > kYoungestEmptySlotSeconds) {
            slot.Remove();
        }
    }
    std::sort(leftBehind.begin(), leftBehind.end(),
              [](const KeptListSlot& a, const KeptListSlot& b) { return a.KeptAt() > b.KeptAt(); });
    return leftBehind;
}

bool KeptListSlot::IsHeld() const
{
    return lock_.IsOpen();
}

QString KeptListSlot::ListPath() const
{
    return folder_ + u'/' + kListName;
}

QDateTime KeptListSlot::KeptAt() const
{
    return QFileInfo(ListPath()).lastModified();
}

void KeptListSlot::Remove()
{
    if (!IsHeld()) {
        return;
    }
    // Only what a slot holds: its list, and a list being written when its window ended.
    QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(kListName)) {
            folder.remove(name);
        }
    }
    QDir().rmdir(folder_);
    lock_.Close();
    folder_.clear();
}
