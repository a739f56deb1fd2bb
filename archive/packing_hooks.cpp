#include "archive/packing_hooks.h"

QString ShortReadText(const QString& path, qint64 expected, qint64 actual)
{
    return QStringLiteral("The file %1 came out shorter than expected while it was packed: %2 of its %3 bytes "
                          "could be read, and the archive holds only those.")
        .arg(path)
        .arg(actual)
        .arg(expected);
}
