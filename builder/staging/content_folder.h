#pragma once

#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"

#include <QString>
#include <QStringList>

#include <optional>

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
// folder (the picture itself, turned upright or converted: PrepareForBook), under its name in the book (as the kind
// of book `format` names pictures, with the extension of the kind of picture the book holds: NameForKind), and
// writes the kind's page document for each (page1.html, page2.html, ...), then the cover picture and its page
// when `settings.coverPath` is not empty. Pages carry the book's title.
//
// A picture that is missing, cannot be read, or is no whole picture of a kind the book can hold is named among
// the problems, with the reason; the other pictures and pages are done all the same. A picture that cannot be
// written ends it with a ConversionError that names the content folder and the reason ("No space left on device
// while preparing the pages in <folder>"). While it works it reports the pictures staged to `ui` and lets events
// through with `pacer`, which stops it with EUserCanceled when asked to.
StagedPictures FillContentFolder(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                                 const QString& oebpsDir, EventPacer& pacer, ConversionUi& ui);

// Writes each document of the book into the content folder, whole or not at all (an earlier file of its name is
// replaced only once the new one is complete), letting events through between batches of pages with `pause`.
// Raises the XML writer's error or a ConversionError naming a file that cannot be written.
void WriteBookDocuments(const QList<BookDocument>& documents, const QString& oebpsDir, const PauseBetweenPages& pause);

// Writes `bytes` to the file at `path`, creating it or replacing its content; a failed write removes what it left.
// Returns why it failed; nothing on success.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes);
