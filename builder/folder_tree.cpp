#include "builder/folder_tree.h"

#include <filesystem>
#include <system_error>

bool DeleteFolderTree(const QString& path)
{
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path.toStdString()), error);
    return !error;
}
