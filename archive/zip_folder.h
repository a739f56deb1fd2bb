#pragma once

#include "archive/packing_hooks.h"

#include <QString>

// Packs `folder`, its whole tree, into the archive at `archivePath`: every file that is neither hidden nor a
// system file nor inside such a folder, named relative to `folder` with "/" separators. A file "mimetype" directly
// in `folder` is the first entry and is stored uncompressed; every other file is deflated at level 6.
// True when the writer ran to its end. On false, *failureReason (when not null) receives the error's text, and no
// partial archive is left at `archivePath`. Only packing into one archive file is offered: a non-zero direction
// (extraction) or volume size (splitting) returns false and touches nothing.
bool ZipFolder(int direction, int volumeSize, const QString& archivePath, const QString& folder,
               const PackingHooks& hooks = {}, QString* failureReason = nullptr);
