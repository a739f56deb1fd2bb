#pragma once

#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"

#include <QIODevice>
#include <QString>

// Writes the book's navigation document fb.ncx to `out`: the book's identifier, title and author and one entry for
// the cover (when `settings.coverPath` is not empty) and for each page, pointing at the page documents as `format`
// names them. Raises the XML writer's error when it cannot be written. The document is written as it is built, and
// `pause` runs between batches of pages.
void WriteNavigationDocument(QIODevice& out, int pageCount, const BookSettings& settings, const QString& identifier,
                             const BookFormat& format, const PauseBetweenPages& pause = {});
