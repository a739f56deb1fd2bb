#include "builder/flowing/flowing_format.h"

#include "builder/epub/epub_names.h"
#include "builder/epub/navigation_document.h"
#include "builder/flowing/package_document.h"
#include "builder/flowing/page_document.h"
#include "builder/flowing/style_sheet.h"

QString FlowingFormat::Key() const
{
    return QStringLiteral("flowing");
}

QString FlowingFormat::Label() const
{
    return QStringLiteral("Flowing pages (EPUB 2)");
}

QString FlowingFormat::Description() const
{
    return QStringLiteral(
        "the reader sizes the pages to its screen; for e-readers and reading programs that lay out pages themselves");
}

EntryMethod FlowingFormat::MethodFor(EntryHolds holds) const
{
    return holds == EntryHolds::Opening ? EntryMethod::Store : EntryMethod::Deflate;
}

QByteArray FlowingFormat::PageText(const PageOfBook& page) const
{
    return PageDocumentText(page.pictureName, page.title, page.altText, page.language);
}

QList<BookDocument> FlowingFormat::Documents(const BookFacts& book) const
{
    return {
        {kPackageDocumentName,
         [this, book](QIODevice& out, const PauseBetweenPages& pause) {
             WritePackageDocument(out, book.settings, book.names, book.identifier, *this, book.made.localDay, pause);
         }},
        {kNcxDocumentName,
         [this, book](QIODevice& out, const PauseBetweenPages& pause) {
             WriteNavigationDocument(out, static_cast<int>(book.names.pageNames.size()), book.settings, book.identifier,
                                     *this, pause);
         }},
        {kStyleSheetName,
         [](QIODevice& out, const PauseBetweenPages&) { WriteDocumentBytes(out, StyleSheetText(), kStyleSheetName); }},
    };
}

QString FlowingFormat::PageExtension() const
{
    return QStringLiteral(".html");
}
