#pragma once

#include "builder/book_document.h"
#include "builder/book_settings.h"
#include "builder/picture_names.h"
#include "common/book_kind.h"

#include <QSize>
#include <QString>

#include <memory>

// One page of the book as its page document shows it.
struct PageOfBook {
    QString pictureName;  // the picture's file name in the book
    QSize displayedSize;  // the picture's size in pixels as readers show it
    QString title;        // the book's title
    QString altText;      // "Cover", "Page 1", ...
};

// The documents of one kind of book. The staging writes the pictures and asks this for each page's document,
// then for the documents that describe the whole book; the names, the staging, the identity and the archive are
// the same for every kind.
class BookDocuments {
public:
    virtual ~BookDocuments() = default;

    // Writes the page document at `pagePath`. Returns false, and reports nothing, when the file cannot be
    // created or written.
    virtual bool WritePage(const QString& pagePath, const PageOfBook& page) const = 0;

    // Writes the package document, the navigation documents and whatever else the book holds beside its pages
    // into `oebpsDir`, once every picture is staged. Raises the XML writer's error or a ConversionError when a
    // file cannot be written; `pause` runs between batches of pages.
    virtual void WriteBookDocuments(const BookSettings& settings, const PictureNames& names, const QString& identifier,
                                    const QString& oebpsDir, const PauseBetweenPages& pause) const = 0;
};

// The documents of a book of `layout`.
std::unique_ptr<BookDocuments> DocumentsOfLayout(BookLayout layout);
