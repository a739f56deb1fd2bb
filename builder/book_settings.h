#pragma once

#include "common/book_kind.h"

#include <QString>

// What a conversion needs besides the page list: the four texts exactly as the user typed them, and the kind of
// book. Empty means not set; only the cover may stay unset for a conversion.
struct BookSettings {
    QString title;
    QString author;
    QString coverPath;     // full path of the cover picture; empty for a book without cover
    QString outputFolder;  // the folder the book file is written to
    BookLayout layout = BookLayout::Flowing;
    ReadingDirection direction = ReadingDirection::LeftToRight;
};
