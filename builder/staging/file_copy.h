#pragma once

#include "common/file_descriptor.h"

#include <QString>

#include <sys/stat.h>

#include <functional>
#include <optional>

// Why a copy failed, and on which side.
struct CopyFailure {
    // The system's reason, such as "No space left on device".
    QString reason;
    // The copy could not be written (the target's disk is full, read-only or failing, or something is at the
    // target already), rather than the source read.
    bool writing = false;
};

// The regular file at `path` opened for reading, with its status in `info`. It is opened without waiting, so
// that a FIFO cannot hold the caller up. Not open when it cannot be read as a file, with why in `problem`: it is
// missing (or its name was not UTF-8), is not a regular file (a folder, a FIFO, a device), or may not be read.
FileDescriptor OpenRegularFile(const QString& path, struct stat* info, QString* problem);

// Creates `target` for a copy of the file whose status is `sourceInfo`, refusing when anything exists there
// already, has `write` fill the new file open as its descriptor, and gives the copy the source's last-write time.
// The copy has the source's permissions and may always be read and written by its owner: a picture that this user
// may read only as one of "others" still gives a copy they can pack. A failure, of the creation or of `write`
// (which returns why it failed), leaves nothing at `target`; returns why it failed.
std::optional<CopyFailure> WriteCopy(const QString& target, const struct stat& sourceInfo,
                                     const std::function<std::optional<CopyFailure>(int descriptor)>& write);

// Copies the whole content of the file open as `from` (from its present offset) to `to`. Within one file system
// the kernel copies between the files (sharing the blocks on file systems that allow it); across file systems it
// still moves the bytes itself; only where it can do neither do they pass through a buffer. Returns why it
// failed; nothing on success.
std::optional<CopyFailure> CopyContent(int from, int to);

// Copies the regular file `source` to `target` as WriteCopy creates it, keeping its last-write time.
// Refuses when anything already exists at `target`, when the source is missing or is not a regular file, or
// when the copy fails; a failed copy leaves no partial target behind. Returns why it failed; nothing on success.
std::optional<CopyFailure> CopyFileRefusingOverwrite(const QString& source, const QString& target);
