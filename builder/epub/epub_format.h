#pragma once

#include "builder/workflow/book_format.h"

// What the two kinds of EPUB book share: the files they begin with (the stored "mimetype" and the container
// document), the content folder "OEBPS", how their pictures are named, the ".epub" extension, the identifier a
// replacing book keeps, and how their books begin. Each kind adds its page documents, the other documents, and the
// packing of its pictures.
class EpubFormat : public BookFormat {
public:
    QString Extension() const override;
    QStringList OpeningFiles() const override;
    QString ContentFolder() const override;
    // The pictures never take the name of a document of either kind of EPUB book, so that a book's names do not
    // depend on its kind.
    std::unique_ptr<PictureNameRegistry> PictureNaming(qsizetype pageCount, bool withCover) const override;
    QString PageDocumentName(qsizetype page) const override;
    QString CoverPageName() const override;
    QString IdentifierFor(const QString& bookPath) const override;
    bool BeginsAsItsBook(QByteArrayView firstBytes) const override;

protected:
    // The extension of the kind's page documents: ".html" or ".xhtml".
    virtual QString PageExtension() const = 0;
};
