#pragma once

#include "archive/archive_list.h"
#include "archive/file_list.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_pictures.h"

#include <QList>
#include <QSet>
#include <QString>

#include <mutex>
#include <vector>

// The entries of one book, in the order the book holds them, as its kind says: the files every book of the kind begins
// with (read from the program's installation data), then the pictures (the cover's, then each page's in page order,
// a picture shown on several pages once, where it is first shown), then the page documents (the cover's first),
// then the documents of the whole book. Nothing is staged: pictures are read, proven and turned, converted or made
// for a screen on the packing workers (OpenPictureContent), and the documents are written straight into their
// entries. When the size of some picture is known only once it is made, the documents are made once every picture
// is.
class BookEntries final : public ArchiveList {
public:
    // `book` and what `facts` refer to stay the caller's and must outlive the list. The files every book of the kind
    // begins with are read from `installationData`; none are listed when it is empty (a staged book has them in its
    // staging root).
    // What the list holds: the whole book, or only its pictures (to be made before the book is packed).
    enum class Holding { WholeBook, PicturesOnly };

    BookEntries(const BookFormat& format, BookPictures& book, const BookFacts& facts, const QString& installationData,
                Holding holding = Holding::WholeBook);

    qsizetype Count() const override;
    QByteArray StoredName(qsizetype index) const override;
    EntryMethod Method(qsizetype index) const override;
    qint64 ExpectedSize(qsizetype index) const override;
    std::unique_ptr<EntryContent> Open(qsizetype index) const override;
    bool NeedsEarlierEntries(qsizetype index) const override;

private:
    enum class Kind : quint8 { Opening, Picture, Page, Document };
    // An entry: what it holds, and which of them. A page's index is -1 for the cover's page.
    struct Entry {
        Kind kind;
        qsizetype index;
    };

    void ListOpeningFiles(const QString& installationData);
    void ListPicture(qsizetype picture, QSet<QString>& listedPictures);
    void ListPage(qsizetype page);
    QString InContentFolder(const QString& name) const;
    PageOfBook PageShown(qsizetype page) const;

    const BookFormat& format_;
    BookPictures& book_;
    BookFacts facts_;
    QString language_;
    QList<BookDocument> documents_;
    std::vector<ListedFile> openingFiles_;
    std::vector<Entry> entries_;
    // The sizes of the pictures made are noted for the documents once, before the first of them is made.
    mutable std::once_flag sizesNoted_;
};
