#pragma once

#include "archive/packing_hooks.h"

#include <QString>

// Packs `folder`, its whole tree, into the archive at `archivePath`: every file that is neither hidden nor a
// system file nor inside such a folder, named relative to `folder` with "/" separators. A file "mimetype" directly
// in `folder` is the first entry and is stored uncompressed; every other file is deflated at level 6. Any of them
// that cannot be listed, examined, opened or read fails the packing, naming it and the system's reason.
// The archive is written whole beside `archivePath` and replaces what is there once complete. True when the writer
// ran to its end. On false, *failureReason (when not null) receives the error's text, and no partial archive is
// left at `archivePath`.
bool ZipFolder(const QString& archivePath, const QString& folder, const PackingHooks& hooks = {},
               QString* failureReason = nullptr);

// How a book's pictures are packed: deflated at level 6 like its documents, or stored as they are. JPEG, PNG and
// GIF data barely compress, so storing them makes a book of photos many times quicker for a few bytes more.
enum class PicturePacking { Deflate, Store };

// Packs a book's staging root into the book at `bookPath`: the file "mimetype" directly in `stagingRoot` first,
// stored uncompressed, then every file below its folders "META-INF" and "OEBPS" that is neither hidden nor a system
// file, deflated at level 6, or, with PicturePacking::Store, stored when it is a picture (its name ends in .jpg,
// .jpeg, .png or .gif in any case); nothing else of the folder. Any of them that cannot be listed, examined, opened or
// read fails the packing, naming it and the system's reason. The book is written under a hidden temporary name beside
// `bookPath` and takes its place only once complete: with `replace`, an earlier book there is replaced in that one
// step; without, a file that has appeared there meanwhile is left alone and the packing fails with "The file is
// existing.". An earlier book is never merged with the new one. True when the book is complete. On false,
// *failureReason (when not null) receives the error's text; the earlier book is as it was and no temporary file
// is left. A request to stop raises EUserCanceled, with the same guarantees.
bool PackBook(const QString& bookPath, const QString& stagingRoot, bool replace, PicturePacking pictures,
              const PackingHooks& hooks = {}, QString* failureReason = nullptr);
