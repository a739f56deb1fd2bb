#include "builder/fixed/fixed_format.h"

#include "builder/epub/epub_names.h"
#include "builder/epub/navigation_document.h"
#include "builder/fixed/contents_document.h"
#include "builder/fixed/fixed_package_document.h"
#include "builder/fixed/fixed_page_document.h"

QString FixedFormat::Key() const
{
    return QStringLiteral("fixed");
}

QString FixedFormat::Label() const
{
    return QStringLiteral("Fixed pages (EPUB 3)");
}

QString FixedFormat::Description() const
{
    return QStringLiteral("each page the size of its picture, shown edge to edge and as facing pages by e-readers and "
                          "reading programs that know fixed layouts");
}

EntryMethod FixedFormat::MethodFor(EntryHolds holds) const
{
    return holds == EntryHolds::Document ? EntryMethod::Deflate : EntryMethod::Store;
}

QByteArray FixedFormat::PageText(const PageOfBook& page) const
{
    return FixedPageText(page);
}

QList<BookDocument> FixedFormat::Documents(const BookFacts& book) const
{
    const int pageCount = static_cast<int>(book.names.pageNames.size());
    return {
        {kPackageDocumentName,
         [this, book](QIODevice& out, const PauseBetweenPages& pause) {
             WriteFixedPackageDocument(out, book.settings, book.names, book.identifier, *this, book.made, pause);
         }},
        {kNavDocumentName,
         [this, book, pageCount](QIODevice& out, const PauseBetweenPages& pause) {
             WriteContentsDocument(out, pageCount, book.settings, *this, pause);
         }},
        {kNcxDocumentName,
         [this, book, pageCount](QIODevice& out, const PauseBetweenPages& pause) {
             WriteNavigationDocument(out, pageCount, book.settings, book.identifier, *this, pause);
         }},
    };
}

QString FixedFormat::PageExtension() const
{
    return QStringLiteral(".xhtml");
}
