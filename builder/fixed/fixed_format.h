#pragma once

#include "builder/epub/epub_format.h"

// The book of fixed pages (EPUB 3, pre-paginated): every page has its picture's size, so readers show one picture per
// screen and facing pages side by side. It keeps the NCX for readers that know only EPUB 2's navigation. Its
// pictures are stored as they are: JPEG, PNG and GIF data barely compress, and deflating them would take most of a
// conversion's time; its documents are deflated.
class FixedFormat final : public EpubFormat {
public:
    QString Key() const override;
    QString Label() const override;
    QString Description() const override;
    EntryMethod MethodFor(EntryHolds holds) const override;
    QByteArray PageText(const PageOfBook& page) const override;
    QList<BookDocument> Documents(const BookFacts& book) const override;

protected:
    QString PageExtension() const override;
};
