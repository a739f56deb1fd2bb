#pragma once

#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"

#include <QDate>
#include <QIODevice>
#include <QString>

// Writes the book's package document fb.opf to `out`: its metadata (title, author, date, identifier, language), the
// manifest of every file of the book (the page documents as `format` names them) and the reading order and, with a
// cover, the guide's cover page. The book has a cover when `settings.coverPath` is not empty; `names` are the
// pictures' names in the book, with their media types. Raises the XML writer's error when it cannot be written. The
// document is written as it is built, and `pause` runs between batches of pages.
void WritePackageDocument(QIODevice& out, const BookSettings& settings, const PictureNames& names,
                          const QString& identifier, const BookFormat& format, const QDate& today,
                          const PauseBetweenPages& pause = {});
