#include "archive/dir_search.h"

#include "archive/wildcard.h"
#include "archive/zip_errors.h"

#include <QFile>

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr quint32 kPassedOverAttributes = kAttributeHidden | kAttributeSystem;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

const QString kListAction = QStringLiteral("list folder");

}  // namespace

TDirSearch::TDirSearch(const QString& folder, const QString& mask) : mask_(mask)
{
    Enter(folder);
}

bool TDirSearch::Next(Found* found)
{
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.names.size()) {
            levels_.pop_back();
            continue;
        }
        const QByteArray& rawName = level.names[level.next++];
        const QString name = QFile::decodeName(rawName);
        const QString path = level.folder + name;
        const std::optional<FileStatus> status = StatusOf(path);
        if (!status) {
            throw EFReadError(QStringLiteral("examine file"), path, errno);
        }
        if ((status->attributes & kPassedOverAttributes) != 0) {
            continue;
        }
        if (status->IsFolder()) {
            found->path = path + QLatin1Char('/');
            found->status = *status;
            Enter(found->path);
            return true;
        }
        if (MaskMatches(name, mask_)) {
            found->path = path;
            found->status = *status;
            return true;
        }
    }
    return false;
}

void TDirSearch::Enter(const QString& folder)
{
    levels_.push_back(Level{folder, ListNames(folder), 0});
}

// The folder is read whole and closed before the walk goes deeper, so a deep tree does not hold one open folder
// per level.
std::vector<QByteArray> TDirSearch::ListNames(const QString& folder) const
{
    std::vector<QByteArray> names;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (!dir) {
        throw EFReadError(kListAction, folder, errno);
    }
    for (;;) {
        // Only errno tells the end of the listing from a failure to read it.
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                throw EFReadError(kListAction, folder, errno);
            }
            return names;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
}
