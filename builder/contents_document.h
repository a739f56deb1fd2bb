#pragma once

#include "builder/book_document.h"
#include "builder/book_settings.h"

#include <QString>

// Writes the EPUB 3 navigation document nav.xhtml of a fixed-layout book into `oebpsDir`: the table of contents
// ("Cover" when `settings.coverPath` is not empty, then "Page 1", "Page 2", ...), the list of pages by number,
// and the landmarks (the cover, and where the pages begin). Raises the XML writer's error when the file cannot be
// written; `pause` runs between batches of pages.
void WriteContentsDocument(int pageCount, const BookSettings& settings, const QString& oebpsDir,
                           const PauseBetweenPages& pause = {});
