#pragma once

#include "archive/file_descriptor.h"

#include <QString>

// A file being written that is deleted again unless it is finished: the archive being created, or the temporary
// archive of a merge. A packing that fails therefore leaves nothing behind.
class PendingFile {
public:
    // Creates `path` for reading and writing, replacing a file already there. Raises EFCreateError.
    static PendingFile Create(const QString& path);
    // Creates a file of a fresh name in `folder`. Raises EFCreateError.
    static PendingFile CreateTemporary(const QString& folder);

    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int Descriptor() const;
    // Closes the finished file and keeps it. Raises ENotEnoughRoom when the system reports that the close failed,
    // as it may when the last of the data could not be stored.
    void Finish();
    // Closes the finished file and moves it to `target`, replacing what is there in one step: by a rename, or,
    // across file systems, by a copy beside `target` that is then renamed over it. The file at `target` stays
    // whole until the new one is complete.
    void FinishAsReplacementOf(const QString& target);

private:
    PendingFile(FileDescriptor descriptor, QString path);

    FileDescriptor descriptor_;
    QString path_;
    bool finished_ = false;
};
