#pragma once

#include "archive/archive_list.h"
#include "builder/names/picture_names.h"
#include "builder/workflow/book_moment.h"
#include "builder/workflow/book_settings.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// What a document writer calls between batches of pages: the conversion lets the person's events through there,
// and may stop the writing by raising its cancellation.
using PauseBetweenPages = std::function<void()>;

// One page of the book as its page document shows it.
struct PageOfBook {
    QString pictureName;  // the picture's file name in the book
    QSize displayedSize;  // the picture's size in pixels as readers show it
    QString title;        // the book's title
    QString altText;      // "Cover", "Page 1", ...
    QString language;     // the book's language tag
};

// What the documents of a whole book are written from, once every picture has its name.
struct BookFacts {
    const BookSettings& settings;
    const PictureNames& names;
    QString identifier;
    BookMoment made;
};

// A file of the book besides its pictures and page documents: its name in the content folder, and how it is
// written (raising the XML writer's error or a ConversionError when it cannot be).
struct BookDocument {
    QString name;
    std::function<void(QIODevice& out, const PauseBetweenPages& pause)> write;
};

// Writes `bytes`, the whole of the document `name`, to `out`; raises a ConversionError when the device fails.
void WriteDocumentBytes(QIODevice& out, const QByteArray& bytes, const QString& name);

// What an entry of a book holds, which decides how the kind packs it.
enum class EntryHolds {
    Opening,   // the first of the files every book of the kind begins with
    Document,  // a document, or another file the book begins with
    Picture,   // a picture of a page or of the cover
};

// One kind of book: everything that is the kind's own. The conversion asks the chosen kind, and nothing else tells
// one kind from another: the files its books begin with, how each entry is packed, where its pictures and documents
// go and how they are named, the documents it writes, its file name's extension, the identifier of an earlier book
// it replaces, and how a leftover temporary file of one of its books is known.
class BookFormat {
public:
    virtual ~BookFormat() = default;

    // The word that names the kind in the settings file and on the command line ("flowing").
    virtual QString Key() const = 0;
    // The kind as a person chooses it ("Flowing pages (EPUB 2)").
    virtual QString Label() const = 0;
    // What the kind is and when to choose it, in a sentence or two for the command line's help.
    virtual QString Description() const = 0;
    // The book file's extension, with its dot (".epub").
    virtual QString Extension() const = 0;

    // The files every book of the kind begins with, as paths below the program's installation data or wildcard
    // patterns of the files of a folder there ("META-INF/*"), the book's first entry first; none for a kind that
    // needs none.
    virtual QStringList OpeningFiles() const = 0;
    // How an entry holding `holds` is packed.
    virtual EntryMethod MethodFor(EntryHolds holds) const = 0;

    // The folder of the book that holds its pictures and documents, such as "OEBPS"; empty for the book's top.
    virtual QString ContentFolder() const = 0;
    // Names the pictures of a book of `pageCount` pages, with or without a cover, in the content folder.
    virtual std::unique_ptr<PictureNaming> NamePictures(qsizetype pageCount, bool withCover) const = 0;
    // The document that shows page `page` (counted from 1), and the cover's; empty when the kind's pages have none.
    virtual QString PageDocumentName(qsizetype page) const = 0;
    virtual QString CoverPageName() const = 0;
    // The document of one page.
    virtual QByteArray PageText(const PageOfBook& page) const = 0;
    // The documents of the whole book, in the order they are written.
    virtual QList<BookDocument> Documents(const BookFacts& book) const = 0;

    // The identifier of the earlier book at `bookPath` that a new book replaces, when it keeps it; a new identifier
    // otherwise (empty `bookPath`: none is there).
    virtual QString IdentifierFor(const QString& bookPath) const = 0;
    // Whether an archive beginning with `firstBytes` begins as a book of this kind.
    virtual bool BeginsAsItsBook(QByteArrayView firstBytes) const = 0;
};
