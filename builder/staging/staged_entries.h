#pragma once

#include "archive/archive_list.h"
#include "archive/packing_hooks.h"

#include <QString>

// Writes every entry of `list` into the file below `folder` that its name names, making the folders it needs and
// replacing what was there, each with the date of its content. The contents are made on the packing workers, several
// at once, and written in list order; events get through at the points PackingHooks names, and a request to stop
// raises EUserCanceled. What an entry's content raises passes through as it is; a file that cannot be written raises
// a ConversionError naming the folder and the system's reason ("No space left on device while preparing the pages in
// <folder>").
void WriteEntriesToFolder(const ArchiveList& list, const QString& folder, const PackingHooks& hooks);
