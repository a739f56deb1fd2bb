#pragma once

#include <QString>

#include <optional>

// Why the picture at `path` cannot go into a book: it is missing (or its name was not UTF-8), is not
// a regular file (a folder, a FIFO, a device), or cannot be opened for reading. Empty when it can.
QString PictureProblem(const QString& path);

// Why a copy failed, and on which side.
struct CopyFailure {
    // The system's reason, such as "No space left on device".
    QString reason;
    // The copy could not be written (the target's disk is full, read-only or failing, or something is at the
    // target already), rather than the source read.
    bool writing = false;
};

// Copies the regular file `source` to `target`, keeping its last-write time. The copy may always be read and
// written by its owner, whatever the source's permissions: a picture that this user may read only as one of
// "others" still gives a copy they can pack. Refuses when anything already exists at `target`, when the source
// is missing or is not a regular file, or when the copy fails; a failed copy leaves no partial target behind.
// Returns why it failed; nothing on success.
std::optional<CopyFailure> CopyFileRefusingOverwrite(const QString& source, const QString& target);
