#pragma once

#include "builder/epub/epub_format.h"

// The book of flowing pages (EPUB 2): the reader sizes each page, and the style sheet shows each picture as large as
// the page allows. Every entry but the mimetype is deflated.
class FlowingFormat final : public EpubFormat {
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
