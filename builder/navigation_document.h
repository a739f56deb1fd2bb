#pragma once

#include "builder/book_document.h"
#include "builder/book_settings.h"

#include <QString>

// Writes the book's navigation document fb.ncx into `oebpsDir`: the book's identifier, title and
// author and one entry for the cover (when `settings.coverPath` is not empty) and for each page.
// Raises the XML writer's error when the file cannot be written. The file is written as the
// document is built, and `pause` runs between batches of pages.
void WriteNavigationDocument(int pageCount, const BookSettings& settings, const QString& identifier,
                             const QString& oebpsDir, const PauseBetweenPages& pause = {});
