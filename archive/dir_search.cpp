#include "archive/dir_search.h"

#include "archive/wildcard.h"

#include <QFile>

#include <dirent.h>

#include <cstring>
#include <memory>

namespace {

constexpr quint32 kFilteredAttributes = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The names of a folder in listing order, without "." and "..". The folder is read whole and closed before the
// walk goes deeper, so a deep tree does not hold one open folder per level.
std::vector<QByteArray> ListNames(const QString& folder)
{
    std::vector<QByteArray> names;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    return names;
}

}  // namespace

TDirSearch::TDirSearch(const QString& folder, const QString& mask, quint32 attributeMask, bool recurse)
    : mask_(mask),
      attributeMask_(attributeMask),
      recurse_(recurse)
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
        if (!status || IsPassedOver(status->attributes)) {
            continue;
        }
        if (status->IsFolder()) {
            if (!recurse_) {
                continue;
            }
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

bool TDirSearch::IsPassedOver(quint32 attributes) const
{
    return (attributes & kFilteredAttributes & ~attributeMask_) != 0;
}
