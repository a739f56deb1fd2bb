#pragma once

#include "builder/workflow/book_settings.h"

#include <QString>
#include <QStringList>

class ConversionUi;

// How a conversion ended.
enum class ConversionResult {
    NothingToConvert,  // the page list was empty; nothing was touched
    SettingMissing,    // the output folder, title or author was empty; the content folder stays
    ReplaceDeclined,   // a book of that name exists and the answer was not Yes
    BookWritten,       // the book is complete in the output folder
    Failed,            // no book was written; any earlier book is as it was
    Canceled,          // stopped on request; any earlier book is as it was
};

// Where a conversion finds the files its books begin with, and stages the book.
struct ConversionPlaces {
    // The program's installation data, which holds the files every book of some kinds begins with.
    QString installationData;
    // The folder the book is staged in: the files every book of its kind begins with, and the content folder that
    // each conversion writes anew.
    QString stagingRoot;
};

// The Convert command: turns the pictures of `rowPaths` (in book order) and `settings` into one
// book file of the kind the settings ask for, staging its content in `places.stagingRoot`. The paths are let go once
// the pictures are staged: a caller that moves them in frees their memory for the packing. Talks to the person only
// through `ui`. A title or author that a book cannot hold, a staging folder that cannot take the book's files, and an
// error of the book's documents end the command with a ConversionError or the XML writer's error, passed to the caller.
//
// Whether to replace a book already at the path is asked before the pages are staged, and about a
// book that appeared there meanwhile once they are. The book is written under a temporary name
// beside its path and takes that path only once it is complete, so an earlier book is replaced
// whole or not at all. A book that has appeared at the path after the last check, without the
// person being asked, is never replaced.
ConversionResult ConvertBook(QStringList rowPaths, const BookSettings& settings, const ConversionPlaces& places,
                             ConversionUi& ui);

// The book file's path: the output folder, "/" (unless the folder ends with one) and the file name the title
// gives with the kind's extension (BookFileName), so that the book always lies in the output folder itself.
QString BookPath(const BookSettings& settings);

// The message about the first setting a conversion lacks, in the order they are checked; empty
// when none is missing.
QString MissingSettingMessage(const BookSettings& settings);

// The lines that say which pictures cannot go into a book: the first ten, then "and N more".
QString ProblemsText(const QStringList& problems);
