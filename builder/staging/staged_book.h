#pragma once

#include "archive/packing_hooks.h"
#include "builder/workflow/book_format.h"

#include <QSet>
#include <QString>

// Packs the book staged in `stagingRoot` into the book at `bookPath`: the files every book of its kind begins with
// (`format`'s opening files, as they lie in the staging root), the first of them first, then every file of the
// content folder's tree that is neither hidden nor a system file, each packed as the kind packs what it holds: the
// files whose names in the content folder are among `pictureNames` as pictures, the others as documents. Any of them
// that cannot be listed, examined, opened or read fails the packing, naming it and the system's reason. The book is
// written under a hidden temporary name beside `bookPath` and takes its place only once complete: with `replace`,
// an earlier book there is replaced in that one step; without, a file that has appeared there meanwhile is left
// alone and the packing fails with "The file is existing.". True when the book is complete. On false,
// *failureReason (when not null) receives the error's text; the earlier book is as it was and no temporary file is
// left. A request to stop raises EUserCanceled, with the same guarantees.
bool PackStagedBook(const QString& bookPath, const QString& stagingRoot, const BookFormat& format,
                    const QSet<QString>& pictureNames, bool replace, const PackingHooks& hooks = {},
                    QString* failureReason = nullptr);
