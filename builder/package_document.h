#pragma once

#include "builder/book_settings.h"

#include <QDate>
#include <QString>

// Writes the book's package document fb.opf into `oebpsDir`: its metadata (title, author, date,
// language), the manifest of page documents and cover, the reading order and the cover's guide
// entry. The book has a cover when `settings.coverPath` is not empty; `coverFileName` is the
// cover picture's name in the book. Raises the XML writer's error when the file cannot be written.
void WritePackageDocument(int pageCount, const BookSettings& settings, const QString& coverFileName,
                          const QString& oebpsDir, const QDate& today = QDate::currentDate());

// The date as the book records it: the local date alone in the locale's short date form.
QString ShortDateText(const QDate& date);
