#include "archive/file_attributes.h"

#include "common/file_name.h"

#include <QFile>

namespace {

bool IsHiddenName(const QString& path)
{
    return FileNamePart(path).startsWith(u'.');
}

}  // namespace

std::optional<FileStatus> StatusOf(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        return std::nullopt;
    }
    // A link to a folder is never followed, so that the walk cannot loop; a link to a file gives that file.
    if (S_ISLNK(info.st_mode)) {
        struct stat target {};
        if (::stat(name.constData(), &target) == 0 && S_ISREG(target.st_mode)) {
            info = target;
        }
    }
    return StatusFrom(info, path);
}

FileStatus StatusFrom(const struct stat& info, const QString& path)
{
    FileStatus status;
    status.size = info.st_size;
    status.device = info.st_dev;
    status.inode = info.st_ino;
    if (S_ISREG(info.st_mode)) {
        status.attributes = kAttributeArchive;
    } else if (S_ISDIR(info.st_mode)) {
        status.attributes = kAttributeDirectory;
    } else {
        status.attributes = kAttributeSystem;
        status.size = 0;
    }
    if ((info.st_mode & S_IWUSR) == 0 && !S_ISLNK(info.st_mode)) {
        status.attributes |= kAttributeReadOnly;
    }
    if (IsHiddenName(path)) {
        status.attributes |= kAttributeHidden;
    }
    return status;
}
