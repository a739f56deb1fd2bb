#pragma once

#include "common/reading_direction.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What a comic archive's ComicInfo.xml (schema 2.0) says of its book, as far as this program uses it. A field the
// file leaves out, or fills with something of the wrong form, stays empty.
struct ComicInfo {
    QString title;
    QString series;
    // The book's number in its series, as written: "1", "1.5", "12a".
    QString number;
    std::optional<int> volume;
    QString writer;
    // LanguageISO: the language of the book's text, as an ISO code ("en", "ja", "pt-BR").
    QString language;
    // From Manga: "YesAndRightToLeft" reads right to left, "No" left to right; "Yes" (a manga that may read
    // either way) and "Unknown" say nothing.
    std::optional<ReadingDirection> readingDirection;
    // Pages/Page with Type "FrontCover": its Image, the place of the cover among the book's pages, from 0.
    std::optional<int> frontCover;
    std::optional<int> pageCount;
};

// Reads a ComicInfo.xml. Tolerant: unknown elements are passed over, a document that breaks off keeps what came
// before the break, and one larger than kMaxComicInfoBytes or with a document type declaration (whose entities
// could make a small file expand without end) gives nothing.
ComicInfo ParseComicInfo(const QByteArray& xml);
