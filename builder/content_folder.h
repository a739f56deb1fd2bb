#pragma once

#include "builder/book_settings.h"
#include "builder/picture_names.h"

#include <QString>
#include <QStringList>

class BookDocuments;
class ConversionUi;
class EventPacer;

// Empties the content folder: deletes it when it exists, then creates it again with every missing
// parent folder.
void RecreateContentFolder(const QString& oebpsDir);

// The pictures a conversion staged, and what went wrong with them.
struct StagedPictures {
    PictureNames names;
    // A line each: "Cannot read picture: <path> (<reason>)", "Cannot write page: <path>".
    QStringList problems;
};

// Checks every picture of the book by its content and writes the picture the book holds for it into the content
// folder (the picture itself, turned upright or converted: PrepareForBook), under its name in the book
// (PictureNameRegistry, with the extension of the kind the book holds: NameForKind), and writes a page document
// of the book's kind (`documents`) for each (page1.html, page2.html, ...), then the cover picture and cover.html
// when `settings.coverPath` is not empty. Pages carry the book's title.
//
// A picture that is missing, cannot be read, or is no whole picture of a kind the book can hold is named among
// the problems, with the reason; the other pictures and pages are done all the same. A picture that cannot be
// written ends it with a ConversionError that names the content folder and the reason ("No space left on device
// while preparing the pages in <folder>"). While it works it reports the pictures staged to `ui` and lets events
// through with `pacer`, which stops it with EUserCanceled when asked to.
StagedPictures FillContentFolder(const QStringList& rowPaths, const BookSettings& settings,
                                 const BookDocuments& documents, const QString& oebpsDir, EventPacer& pacer,
                                 ConversionUi& ui);
