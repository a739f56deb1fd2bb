#pragma once

#include <QString>

// The four texts besides the page list that a conversion needs, exactly as the user typed them.
// Empty means not set; only the cover may stay unset for a conversion.
struct BookSettings {
    QString title;
    QString author;
    QString coverPath;     // full path of the cover picture; empty for a book without cover
    QString outputFolder;  // the folder the book file is written to
};
