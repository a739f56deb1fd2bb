#pragma once

#include "common/file_descriptor.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

// A file being written that is deleted again unless it is finished: the archive being created, under a temporary
// name beside the archive it is to become. A packing that fails therefore leaves nothing behind.
class PendingFile {
public:
    // Creates a hidden file of a fresh short name (".tamboril-unfinished-XXXXXXXXXX", so that it fits beside any
    // name) in the folder of `target`, locked by this process until it is finished or deleted: a later run tells by
    // the lock whether the file is the leftover of a run that was killed. Raises EFCreateError, naming `target`.
    static PendingFile CreateLockedBeside(const QString& target);

    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int Descriptor() const;
    // Writes the file's content through to the disk. Raises ENotEnoughRoom or EWriteError, with the system's
    // reason, when the system cannot.
    void FlushToDisk() const;
    // Gives the finished file, flushed to the disk, the place of `target` (in the same folder) and flushes the
    // folder, so that `target` holds either its old content or the whole new file, whatever happens to the
    // machine. With `replace`, whatever is at `target` is replaced in that one step (a symbolic link itself, never
    // the file it points to); the new file keeps the read, write and execute permissions of a regular file it
    // replaces. Without, a file that has appeared at `target` stays as it is and ZipError("The file is
    // existing.") is raised.
    void FinishInPlaceOf(const QString& target, bool replace);

private:
    PendingFile(FileDescriptor descriptor, QString path);

    FileDescriptor descriptor_;
    QString path_;
    bool finished_ = false;
};

// Whether the first bytes of an archive (up to kLeftoverHeadSize of them) are those that archives of some kind
// begin with; what the kind of archive being written supplies to prove a leftover its own.
using LeftoverCheck = std::function<bool(QByteArrayView firstBytes)>;
inline constexpr qsizetype kLeftoverHeadSize = 256;

// Deletes the files that CreateLockedBeside made in `folder` for runs that hold them no longer: only regular files
// of this user with exactly that form of name, unlocked, and empty or beginning as a zip archive whose first bytes
// `check` (when set) accepts.
void RemoveAbandonedFiles(const QString& folder, const LeftoverCheck& check = {});
