#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QStringList>

// The bytes of a text file whose lines each end in CR LF, as the book's documents are written.
inline QByteArray CrLfLines(const QStringList& lines)
{
    QByteArray text;
    for (const QString& line : lines) {
        text += line.toUtf8() + "\r\n";
    }
    return text;
}

// The bytes a document writer gives a device.
template <typename Write>
QByteArray WrittenBytes(Write write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return bytes;
}
