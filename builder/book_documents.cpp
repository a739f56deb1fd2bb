#include "builder/book_documents.h"

#include "builder/contents_document.h"
#include "builder/fixed_package_document.h"
#include "builder/fixed_page_document.h"
#include "builder/navigation_document.h"
#include "builder/package_document.h"
#include "builder/page_document.h"
#include "builder/style_sheet.h"

#include <QDateTime>

namespace {

// The EPUB 2 book: pages sized by the reader through the style sheet.
class FlowingDocuments : public BookDocuments {
public:
    bool WritePage(const QString& pagePath, const PageOfBook& page) const override
    {
        return WritePageDocument(pagePath, page.pictureName, page.title, page.altText);
    }

    void WriteBookDocuments(const BookSettings& settings, const PictureNames& names, const QString& identifier,
                            const QString& oebpsDir, const PauseBetweenPages& pause) const override
    {
        WritePackageDocument(settings, names, identifier, oebpsDir, QDate::currentDate(), pause);
        WriteNavigationDocument(static_cast<int>(names.pageNames.size()), settings, identifier, oebpsDir, pause);
        WriteStyleSheet(oebpsDir);
    }
};

// The EPUB 3 book of pre-paginated pages, each the size of its picture. It keeps the NCX for readers that know
// only EPUB 2's navigation.
class FixedDocuments : public BookDocuments {
public:
    bool WritePage(const QString& pagePath, const PageOfBook& page) const override
    {
        return WriteFixedPageDocument(pagePath, page);
    }

    void WriteBookDocuments(const BookSettings& settings, const PictureNames& names, const QString& identifier,
                            const QString& oebpsDir, const PauseBetweenPages& pause) const override
    {
        WriteFixedPackageDocument(settings, names, identifier, oebpsDir, QDateTime::currentDateTime(), pause);
        WriteContentsDocument(static_cast<int>(names.pageNames.size()), settings, oebpsDir, pause);
        WriteNavigationDocument(static_cast<int>(names.pageNames.size()), settings, identifier, oebpsDir, pause);
    }
};

}  // namespace

std::unique_ptr<BookDocuments> DocumentsOfLayout(BookLayout layout)
{
    switch (layout) {
    case BookLayout::Fixed:
        return std::make_unique<FixedDocuments>();
    case BookLayout::Flowing:
        break;
    }
    return std::make_unique<FlowingDocuments>();
}
