#include "comics/comic_member.h"

#include "pictures/picture_files.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

QString Joined(const QString& container, const QString& memberPath)
{
    return container + QStringLiteral(" \u203A ") + memberPath;
}

}  // namespace

QString ComicMemberName(const QString& containerPath, const QString& memberPath)
{
    return Joined(QFileInfo(containerPath).fileName(), memberPath);
}

QString ComicMemberFullName(const QString& containerPath, const QString& memberPath)
{
    return memberPath.isEmpty() ? containerPath : Joined(containerPath, memberPath);
}

QStringList MemberPathParts(const QString& path)
{
    // Archives made on Windows may part folders with backslashes.
    return QString(path).replace(u'\\', u'/').split(u'/');
}

bool NaturalPathLess(const QString& a, const QString& b)
{
    const QStringList partsA = MemberPathParts(a);
    const QStringList partsB = MemberPathParts(b);
    const auto [differentA, differentB] = std::mismatch(partsA.cbegin(), partsA.cend(), partsB.cbegin(), partsB.cend());
    if (differentA == partsA.cend() || differentB == partsB.cend()) {
        // One path is the other, or lies inside it: the shorter first.
        return partsA.size() < partsB.size();
    }
    return NaturalLess(*differentA, *differentB);
}
