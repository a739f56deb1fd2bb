#pragma once

#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"

#include <QIODevice>
#include <QString>

// Writes the package document (EPUB 3) of a fixed-layout book to `out`: the metadata (identifier, title,
// author, language, the day the book is made on the local calendar, its moment in UTC), the rendition properties of
// pre-paginated pages with landscape spreads, the older `meta name=` signals of a fixed layout for readers and
// converters that know only those, the manifest of every file of the book (the navigation document and the
// cover picture marked as such; the page documents as `format` names them) and the reading order in
// `settings.direction`, each page placed on its side of a spread (PageSpreads). `names` are the pictures' names in the
// book, with their media types and displayed sizes. Raises the XML writer's error when it cannot be written; `pause`
// runs between batches of pages.
void WriteFixedPackageDocument(QIODevice& out, const BookSettings& settings, const PictureNames& names,
                               const QString& identifier, const BookFormat& format, const BookMoment& made,
                               const PauseBetweenPages& pause = {});

// The size most of the book's pages have, as "WxH" (of equally common ones, the first to reach that count):
// what older readers take as the book's page size.
QString MostCommonPageSize(const PictureNames& names);
