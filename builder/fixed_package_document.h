#pragma once

#include "builder/book_document.h"
#include "builder/book_settings.h"
#include "builder/picture_names.h"

#include <QDateTime>
#include <QString>

// Writes the package document (EPUB 3) of a fixed-layout book into `oebpsDir`: the metadata (identifier, title,
// author, language, the date of `now` in local time, its modification time in UTC), the rendition properties of
// pre-paginated pages with landscape spreads, the older `meta name=` signals of a fixed layout for readers and
// converters that know only those, the manifest of every file of the book (the navigation document and the
// cover picture marked as such) and the reading order in `settings.direction`, each page placed on its side of a
// spread (PageSpreads). `names` are the pictures' names in the book, with their media types and displayed sizes.
// Raises the XML writer's error when the file cannot be written; `pause` runs between batches of pages.
void WriteFixedPackageDocument(const BookSettings& settings, const PictureNames& names, const QString& identifier,
                               const QString& oebpsDir, const QDateTime& now, const PauseBetweenPages& pause = {});

// The size most of the book's pages have, as "WxH" (of equally common ones, the first to reach that count):
// what older readers take as the book's page size.
QString MostCommonPageSize(const PictureNames& names);
