#include "comics/picture_address.h"

#include "comics/comic_container.h"

#include <QFileInfo>

QString MemberAddressPath(const QString& container, const QString& member)
{
    return container + u'/' + member;
}

std::optional<MemberAddress> MemberAddressOf(const QString& path)
{
    if (QFileInfo::exists(path)) {
        return std::nullopt;
    }
    // The container is the longest part of the path up to a "/" that is a file.
    for (qsizetype slash = path.lastIndexOf(u'/'); slash > 0; slash = path.lastIndexOf(u'/', slash - 1)) {
        const QString part = path.left(slash);
        const QFileInfo found(part);
        if (found.isDir()) {
            return std::nullopt;
        }
        if (found.isFile()) {
            if (!ComicContainerKindOfFile(part)) {
                return std::nullopt;
            }
            return MemberAddress{part, path.mid(slash + 1)};
        }
    }
    return std::nullopt;
}
