#pragma once

#include "common/reading_direction.h"

#include <QString>

class BookFormat;

// What a conversion needs besides the page list: the four texts exactly as the user typed them, and the kind of
// book. Empty means not set; only the cover may stay unset for a conversion.
struct BookSettings {
    QString title;
    QString author;
    QString coverPath;     // full path of the cover picture; empty for a book without cover
    QString outputFolder;  // the folder the book file is written to
    // The kind of book (one of AllBookFormats); null for the default kind.
    const BookFormat* format = nullptr;
    ReadingDirection direction = ReadingDirection::LeftToRight;
};
