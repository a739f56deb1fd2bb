#include "builder/file_names.h"

#include <QUrl>

QString FileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString UriPathSegment(const QString& fileName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}
