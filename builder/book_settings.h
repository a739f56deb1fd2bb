#pragma once

#include "common/book_kind.h"

#include <QString>

// What a conversion needs besides the page list: the texts exactly as the user typed them, and the kind of
// book. Empty means not set; only the cover, the series and its number may stay unset for a conversion.
struct BookSettings {
    QString title;
    QString author;
    QString coverPath;     // full path of the cover picture; empty for a book without cover
    QString outputFolder;  // the folder the book file is written to
    BookLayout layout = BookLayout::Flowing;
    ReadingDirection direction = ReadingDirection::LeftToRight;
    // The book's language as a well-formed BCP 47 tag (en, pt-BR, zh-Hant-TW): the one the person chose, else the
    // system's, else English. The window and the command line always fill it. These last members have initializers,
    // so that settings given as a list of the first members leave them empty.
    QString language{};
    QString series{};        // the series the book belongs to; empty for none
    QString seriesNumber{};  // the book's place in the series, a number such as 3 or 3.5; empty for none
};
