#pragma once

#include "builder/book_document.h"
#include "builder/book_settings.h"
#include "builder/picture_names.h"

#include <QDate>
#include <QString>

// Writes the book's package document fb.opf into `oebpsDir`: its metadata (title, author, date,
// identifier, language), the manifest of every file of the book, the reading order and, with a
// cover, the guide's cover page. The book has a cover when `settings.coverPath` is not empty;
// `names` are the pictures' names in the book, with their media types. Raises the XML writer's error when the file
// cannot be written. The file is written as the document is built, and `pause` runs between batches of pages.
void WritePackageDocument(const BookSettings& settings, const PictureNames& names, const QString& identifier,
                          const QString& oebpsDir, const QDate& today = QDate::currentDate(),
                          const PauseBetweenPages& pause = {});
