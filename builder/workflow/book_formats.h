#pragma once

#include "builder/workflow/book_format.h"

#include <QList>
#include <QString>

// Every kind of book the program makes, in the order a person is offered them; the first is the default.
const QList<const BookFormat*>& AllBookFormats();

// The default kind of book: a book of flowing pages.
const BookFormat& DefaultBookFormat();

// The kind of book `settings` ask for.
const BookFormat& FormatOf(const BookSettings& settings);

// The kind of book named `key` (BookFormat::Key, letter case ignored); nothing when no kind has that name.
const BookFormat* BookFormatNamed(const QString& key);

// Whether an archive beginning with `firstBytes` begins as a book of any kind.
bool BeginsAsABook(QByteArrayView firstBytes);
