#pragma once

#include "archive/archive_list.h"
#include "archive/file_list.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_pictures.h"

#include <QList>
#include <QSet>
#include <QString>

#include <vector>

// The entries of one book, in the order the book holds them, as its kind says: the files every book of the kind begins
// with (read from the program's installation data), then the cover's picture and page, then each page's picture and
// page document in page order (a picture shown on several pages once, where it is first shown), then the documents
// of the whole book. Nothing is staged: pictures are read, proven and turned or converted on the packing workers
// (OpenPictureContent), and the documents are written straight into their entries.
class BookEntries final : public ArchiveList {
public:
    // `book` and what `facts` refer to stay the caller's and must outlive the list. The files every book of the kind
    // begins with are read from `installationData`; none are listed when it is empty (a staged book has them in its
    // staging root).
    BookEntries(const BookFormat& format, const BookPictures& book, const BookFacts& facts,
                const QString& installationData);

    qsizetype Count() const override;
    QByteArray StoredName(qsizetype index) const override;
    EntryMethod Method(qsizetype index) const override;
    qint64 ExpectedSize(qsizetype index) const override;
    std::unique_ptr<EntryContent> Open(qsizetype index) const override;

private:
    enum class Kind : quint8 { Opening, Picture, Page, Document };
    // An entry: what it holds, and which of them. A page's index is -1 for the cover's page.
    struct Entry {
        Kind kind;
        qsizetype index;
    };

    void ListOpeningFiles(const QString& installationData);
    void ListPage(qsizetype page, qsizetype picture, QSet<QString>& listedPictures);
    QString InContentFolder(const QString& name) const;
    PageOfBook PageShown(qsizetype page) const;

    const BookFormat& format_;
    const BookPictures& book_;
    BookFacts facts_;
    QList<BookDocument> documents_;
    std::vector<ListedFile> openingFiles_;
    std::vector<Entry> entries_;
};
