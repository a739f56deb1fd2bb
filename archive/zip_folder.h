#pragma once

#include "archive/archive_list.h"
#include "archive/packing_hooks.h"
#include "archive/pending_file.h"

#include <QByteArray>
#include <QString>

// Packs `folder`, its whole tree, into the archive at `archivePath`: every file that is neither hidden nor a system
// file nor inside such a folder, named relative to `folder` with "/" separators, deflated at level 6; a file whose
// stored name is `firstStoredEntry` (when not empty) opens the archive, stored uncompressed. Any of them that cannot
// be listed, examined, opened or read fails the packing, naming it and the system's reason. The archive is written
// whole beside `archivePath` and replaces what is there once complete. True when the writer ran to its end. On false,
// *failureReason (when not null) receives the error's text, and no partial archive is left at `archivePath`.
bool ZipFolder(const QString& archivePath, const QString& folder, const PackingHooks& hooks = {},
               QString* failureReason = nullptr, const QByteArray& firstStoredEntry = {});

// Packs the entries of `list`, in its order, into the archive at `archivePath`. The archive is written under a hidden
// temporary name beside `archivePath` and takes its place only once complete: with `replace`, a file there is replaced
// in that one step; without, a file that has appeared there meanwhile is left alone and the packing fails with "The
// file is existing.". Leftovers of earlier runs beside it that `leftoverCheck` proves of the same kind are removed
// first. True when the archive is complete. On false, *failureReason (when not null) receives the error's text; what
// was at `archivePath` is as it was and no temporary file is left. A request to stop raises EUserCanceled, with the
// same guarantees.
bool PackArchive(const QString& archivePath, const ArchiveList& list, bool replace, const LeftoverCheck& leftoverCheck,
                 const PackingHooks& hooks = {}, QString* failureReason = nullptr);
