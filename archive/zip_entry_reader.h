#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The content of one entry of an existing archive: the entry stored under `storedName`, uncompressed (method 0)
// or deflated (method 8), checked against its CRC. Nothing when no regular file lies at `archivePath` or no entry
// has that name. Raises ZipError("Not a valid zip file!") when the file is not a readable zip archive, or the
// entry's data is damaged, of another method, or larger than `maxSize` bytes; EFReadError when reading it fails.
std::optional<QByteArray> ReadZipEntry(const QString& archivePath, const QByteArray& storedName, qint64 maxSize);
