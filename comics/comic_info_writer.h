#pragma once

#include "common/reading_direction.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

// What a comic archive's ComicInfo.xml tells of the book in it.
struct ComicInfoToWrite {
    QString title;
    QString series;
    QString number;
    QString writer;
    // The language of the book's text, as an ISO code ("en").
    QString language;
    ReadingDirection readingDirection = ReadingDirection::LeftToRight;
    // Each page's picture size as shown, in the book's order.
    QList<QSize> pageSizes;
    // The place of the cover among the pages, from 0; none for a book without a cover.
    std::optional<int> frontCover;
};

// The ComicInfo.xml (schema 2.0) of a book, UTF-8: Title, Series, Number, Writer, PageCount, LanguageISO, Manga
// and Pages, in the order the schema gives them. A text left empty is left out. Manga is "YesAndRightToLeft" for
// a book read right to left and "No" for one read left to right; Pages lists each page with its Image (its place,
// from 0), ImageWidth and ImageHeight, and Type "FrontCover" on the cover.
QByteArray WriteComicInfo(const ComicInfoToWrite& book);
