#pragma once

#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"

#include <QIODevice>
#include <QString>

// Writes the EPUB 3 navigation document nav.xhtml of a fixed-layout book to `out`: the table of contents ("Cover"
// when `settings.coverPath` is not empty, then "Page 1", "Page 2", ...), the list of pages by number, and the
// landmarks (the cover, and where the pages begin), pointing at the page documents as `format` names them. Raises
// the XML writer's error when it cannot be written; `pause` runs between batches of pages.
void WriteContentsDocument(QIODevice& out, int pageCount, const BookSettings& settings, const BookFormat& format,
                           const PauseBetweenPages& pause = {});
