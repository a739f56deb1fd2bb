#include "comics/comic_reader.h"

#include "comics/archive_reader.h"
#include "comics/comic_container.h"
#include "comics/comic_error.h"
#include "comics/pdf_reader.h"

#include <QFile>

std::unique_ptr<ComicReader> ComicReader::Open(const QString& path, const ComicLimits& limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ComicError(path, {}, file.errorString());
    }
    const QByteArray head = file.read(kContainerHeadBytes);
    if (file.error() != QFileDevice::NoError) {
        throw ComicError(path, {}, file.errorString());
    }
    const std::optional<ComicContainerKind> kind = ComicContainerKindOf(head);
    if (!kind) {
        throw ComicError(path, {}, QString::fromLatin1(comic_reason::kNotAContainer));
    }
    if (*kind == ComicContainerKind::Pdf) {
        return std::make_unique<PdfReader>(path, limits);
    }
    return std::make_unique<ArchiveReader>(path, limits);
}
