#pragma once

#include "builder/book_settings.h"
#include "builder/picture_names.h"

#include <QString>
#include <QStringList>

class ConversionUi;
class EventPacer;

// Empties the content folder: deletes it when it exists, then creates it again with every missing
// parent folder.
void RecreateContentFolder(const QString& oebpsDir);

// Copies every picture of the book into the content folder under its name in `names` and writes
// a page document for each (page1.html, page2.html, ...), then the cover picture and cover.html
// when `settings.coverPath` is not empty. Pages carry the book's title.
//
// Returns what went wrong, a line each ("Cannot read picture: <path> (<reason>)"); the other
// pictures and pages are done all the same. A copy that cannot be written ends it with a
// ConversionError that names the content folder and the reason ("No space left on device while
// preparing the pages in <folder>"). While it works it reports the pictures staged to `ui` and
// lets events through with `pacer`, which stops it with EUserCanceled when asked to.
QStringList FillContentFolder(const QStringList& rowPaths, const BookSettings& settings, const PictureNames& names,
                              const QString& oebpsDir, EventPacer& pacer, ConversionUi& ui);
