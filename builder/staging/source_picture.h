#pragma once

#include "builder/staging/file_copy.h"
#include "common/file_descriptor.h"
#include "pictures/picture_info.h"
#include "pictures/picture_source.h"

#include <QString>

#include <sys/stat.h>

#include <optional>

// A picture of the book, opened to be staged: it is checked by its content and written into the book from one
// open of its file, so that each picture is read as few times as it can be, and what the book gets is what was
// checked.
class SourcePicture {
public:
    // Opens the picture at `path` and reads what it is (InspectPicture). Throws PictureError with the reason
    // when it is missing, is not a regular file, cannot be read, or is no picture a book can hold.
    explicit SourcePicture(const QString& path);
    SourcePicture(const SourcePicture&) = delete;
    SourcePicture& operator=(const SourcePicture&) = delete;

    const PictureInfo& Info() const { return info_; }

    // Writes the picture the book holds for it (PrepareForBook: the file itself, copied by the kernel, when the
    // book carries it as it is) to `target`, refusing when anything exists there, with the source's last-write
    // time. A failure leaves nothing at `target`; returns why.
    std::optional<CopyFailure> WriteTo(const QString& target) const;

private:
    std::optional<CopyFailure> WritePicture(int target) const;

    struct stat status_ {};
    FileDescriptor file_;
    PictureSource source_;
    PictureInfo info_;
};
