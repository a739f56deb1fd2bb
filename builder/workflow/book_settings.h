#pragma once

#include "common/reading_direction.h"
#include "pictures/screen_pages.h"

#include <QString>

class BookFormat;

// What a conversion needs besides the page list: the texts exactly as the user typed them, and the kind of book.
// Empty means not set; only the cover, the language, the series and its number may stay unset for a conversion.
struct BookSettings {
    QString title;
    QString author;
    QString coverPath;     // full path of the cover picture; empty for a book without cover
    QString outputFolder;  // the folder the book file is written to
    // The kind of book (one of AllBookFormats); null for the default kind.
    const BookFormat* format = nullptr;
    ReadingDirection direction = ReadingDirection::LeftToRight;
    // How the pictures become pages: as they are (no screen, the default), or made for a reader's screen. Its
    // reading direction is `direction`'s.
    PageOptions pages = {};
    // The book's language as a BCP 47 tag (en, pt-BR); empty for the system's (GetLanguageTag). These members have
    // initializers, so that settings given as a list of the first members leave them empty.
    QString language{};
    QString series{};        // the series the book belongs to; empty for none
    QString seriesNumber{};  // the book's place in the series, a number such as 3 or 3.5; empty for none
    // The most bytes a book file may have; 0 for no limit. A book that would be larger is written as numbered
    // volumes, each a whole book under the limit.
    qint64 maxBookBytes{};
};

// The language tag the book's documents carry: `settings.language`, or the system's when it is empty.
QString BookLanguage(const BookSettings& settings);
