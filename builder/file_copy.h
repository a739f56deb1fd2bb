#pragma once

#include <QString>

// Why the picture at `path` cannot go into a book: it is missing (or its name was not UTF-8), is not
// a regular file (a folder, a FIFO, a device), or cannot be opened for reading. Empty when it can.
QString PictureProblem(const QString& path);

// Copies the regular file `source` to `target`, keeping its last-write time. Refuses when anything
// already exists at `target`, when the source is missing or is not a regular file, or when the copy
// fails; a failed copy leaves no partial target behind. Returns why it failed; empty on success.
QString CopyFileRefusingOverwrite(const QString& source, const QString& target);
