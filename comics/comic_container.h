#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Which files hold pictures for a book rather than being one: comic archives and PDFs, known by their first bytes,
// never by their names.
enum class ComicContainerKind {
    // A zip (.cbz), RAR 4 or 5 (.cbr), 7-Zip (.cb7) or tar (.cbt) archive, or a file compressed with gzip,
    // bzip2, xz, zstd or lz4, which holds a tar archive when it is a comic.
    Archive,
    Pdf,
};

// How many first bytes of a file tell what it is.
inline constexpr qsizetype kContainerHeadBytes = 512;

// The kind of container whose first bytes are `head`, or none when they are not a container's.
std::optional<ComicContainerKind> ComicContainerKindOf(const QByteArray& head);

// The same for the file at `path`; none also when it cannot be read.
std::optional<ComicContainerKind> ComicContainerKindOfFile(const QString& path);
