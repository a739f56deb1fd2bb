#include "builder/folder_tree.h"

#include <QFile>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

std::filesystem::path PathOf(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool DeleteContent(const std::filesystem::path& folder, const std::filesystem::path& kept,
                   const std::function<bool()>& stopRequested)
{
    // The names are taken first: a listing that changes while it is read may pass names over.
    std::error_code error;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (kept.empty() || entry->path().filename() != kept) {
            entries.push_back(entry->path());
        }
    }
    bool emptied = !error;
    for (const std::filesystem::path& entry : entries) {
        if (stopRequested && stopRequested()) {
            return false;
        }
        if (std::filesystem::symlink_status(entry, error).type() == std::filesystem::file_type::directory) {
            if (!DeleteContent(entry, {}, stopRequested)) {
                emptied = false;
                continue;
            }
        }
        std::filesystem::remove(entry, error);
        emptied = !error && emptied;
    }
    return emptied;
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
