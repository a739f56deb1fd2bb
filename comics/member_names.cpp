#include "comics/member_names.h"

#include "comics/comic_member.h"

#include <QStringList>

#include <algorithm>

std::optional<QString> HostileNameReason(const QString& path)
{
    if (path.isEmpty()) {
        return QStringLiteral("it has no name");
    }
    if (path.startsWith(u'/') || path.startsWith(u'\\')) {
        return QStringLiteral("its name is an absolute path");
    }
    if (path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 0x80 && path[1] == u':') {
        return QStringLiteral("its name starts with a drive letter");
    }
    if (MemberPathParts(path).contains(QStringLiteral(".."))) {
        return QStringLiteral("its name leads out of the archive's folders");
    }
    return std::nullopt;
}

QString CleanMemberPath(const QString& path)
{
    QStringList parts = path.split(u'/');
    parts.removeAll(QStringLiteral("."));
    return parts.join(u'/');
}

bool IsLeftOutUnseen(const QString& path)
{
    const QStringList parts = MemberPathParts(path);
    return std::any_of(parts.cbegin(), parts.cend(),
                       [](const QString& part) { return part.startsWith(u'.') || part == QStringLiteral("__MACOSX"); });
}

bool IsComicInfoName(const QString& path)
{
    return MemberPathParts(path).constLast().compare(QStringLiteral("ComicInfo.xml"), Qt::CaseInsensitive) == 0;
}
