#pragma once

#include "builder/workflow/book_format.h"

// The comic archive (CBZ): a zip of the pages' pictures, stored as they are and named by their place so that any
// reader's sort by name gives the pages in order (the cover first, as 0000), and a ComicInfo.xml that says what
// the book is. It has no page documents and begins with no file of its own.
class ComicFormat final : public BookFormat {
public:
    QString Key() const override;
    QString Label() const override;
    QString Description() const override;
    QString Extension() const override;
    QStringList OpeningFiles() const override;
    EntryMethod MethodFor(EntryHolds holds) const override;
    QString ContentFolder() const override;
    std::unique_ptr<PictureNaming> NamePictures(qsizetype pageCount, bool withCover) const override;
    QString PageDocumentName(qsizetype page) const override;
    QString CoverPageName() const override;
    QByteArray PageText(const PageOfBook& page) const override;
    QList<BookDocument> Documents(const BookFacts& book) const override;
    QString IdentifierFor(const QString& bookPath) const override;
    bool BeginsAsItsBook(QByteArrayView firstBytes) const override;
};
