#include "pictures/picture_memory.h"

#include "pictures/picture_error.h"

namespace {

constexpr qint64 kMebibyte = 1024 * 1024;

// Whole mebibytes, rounded up, so that a picture refused never reads as within the limit.
qint64 Mebibytes(qint64 bytes)
{
    return (bytes + kMebibyte - 1) / kMebibyte;
}

}  // namespace

void RefuseBeyondMemoryLimit(qint64 bytes, const char* doing)
{
    if (bytes <= kMaxPictureWorkBytes) {
        return;
    }
    throw PictureError(QStringLiteral("%1: %2 it would take %3 MiB, more than the %4 MiB a picture may take")
                           .arg(QString::fromLatin1(picture_reason::kTooLarge), QString::fromLatin1(doing))
                           .arg(Mebibytes(bytes))
                           .arg(Mebibytes(kMaxPictureWorkBytes)));
}
