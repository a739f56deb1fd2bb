#pragma once

#include "builder/book_settings.h"
#include "builder/staging_paths.h"

#include <QString>
#include <QStringList>

class ConversionUi;

// How a conversion ended.
enum class ConversionResult {
    NothingToConvert,  // the page list was empty; nothing was touched
    SettingMissing,    // the output folder, title or author was empty; the content folder stays
    ReplaceDeclined,   // a book of that name exists and the answer was not Yes
    BookWritten,       // the book is complete in the output folder
    PackingFailed,     // packing failed; any earlier book is back in place
    PackingCanceled,   // packing was stopped on request; any earlier book is back in place
};

// The Convert command: turns the pictures of `rowPaths` (in book order) and `settings` into one
// book file, staging its content in `staging`. Talks to the person only through `ui`. An error of
// the package or navigation document ends the command and passes to the caller.
ConversionResult ConvertBook(const QStringList& rowPaths, const BookSettings& settings, const StagingPaths& staging,
                             ConversionUi& ui);

// The book file's path: the output folder, "/", the title and ".epub", joined as typed.
QString BookPath(const BookSettings& settings);
