#include "builder/names/file_names.h"

#include <QUrl>

QString UriPathSegment(const QString& fileName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}
