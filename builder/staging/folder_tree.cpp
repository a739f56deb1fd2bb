#include "builder/staging/folder_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

namespace {

std::filesystem::path PathOf(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// At most this many names of a folder are held at once, so that emptying a folder of a big book takes little
// memory.
constexpr std::size_t kNamesAtOnce = 1024;

bool DeleteContent(const std::filesystem::path& folder, const std::filesystem::path& kept,
                   const std::function<bool()>& stopRequested)
{
    // The names are taken first, a batch at a time, and the listing is read again from its start for the next
    // batch: a listing that changes while it is read may pass names over. Entries that would not go are passed
    // over in the later readings.
    std::set<std::filesystem::path> left;
    for (;;) {
        std::error_code error;
        std::vector<std::filesystem::path> entries;
        for (std::filesystem::directory_iterator entry(folder, error), end;
             !error && entry != end && entries.size() < kNamesAtOnce; entry.increment(error)) {
            const std::filesystem::path name = entry->path().filename();
            if ((kept.empty() || name != kept) && !left.contains(name)) {
                entries.push_back(entry->path());
            }
        }
        if (error) {
            return false;
        }
        if (entries.empty()) {
            return left.empty();
        }
        for (const std::filesystem::path& entry : entries) {
            if (stopRequested && stopRequested()) {
                return false;
            }
            bool emptied = true;
            if (std::filesystem::symlink_status(entry, error).type() == std::filesystem::file_type::directory) {
                emptied = DeleteContent(entry, {}, stopRequested);
            }
            if (emptied) {
                std::filesystem::remove(entry, error);
            }
            if (!emptied || error) {
                left.insert(entry.filename());
            }
        }
    }
}

}  // namespace

bool DeleteFolderTree(const QString& path)
{
    std::error_code error;
    std::filesystem::remove_all(PathOf(path), error);
    return !error;
}

bool DeleteFolderContent(const QString& folder, const QString& kept, const std::function<bool()>& stopRequested)
{
    return DeleteContent(PathOf(folder), kept.isEmpty() ? std::filesystem::path() : PathOf(kept), stopRequested);
}

void RecreateContentFolder(const QString& oebpsDir)
{
    if (QFileInfo(oebpsDir).isDir()) {
        DeleteFolderTree(oebpsDir);
    }
    QDir().mkpath(oebpsDir);
}
