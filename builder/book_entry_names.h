#pragma once

#include "common/book_kind.h"

#include <QString>

// The names of the files a conversion writes into the book's content folder "OEBPS", beside the pictures. The
// container document (META-INF/container.xml, installation data) names the package document as
// "OEBPS/" + kPackageDocumentName.

inline const QString kContentFolderName = QStringLiteral("OEBPS");
inline const QString kPackageDocumentName = QStringLiteral("fb.opf");
inline const QString kNcxDocumentName = QStringLiteral("fb.ncx");
// The EPUB 3 navigation document; only fixed-layout books carry it.
inline const QString kNavDocumentName = QStringLiteral("nav.xhtml");

// The extension of the page documents: ".html" in a flowing book, as it always had, and EPUB 3's ".xhtml" in a
// fixed-layout one.
inline QString PageDocumentExtension(BookLayout layout)
{
    return layout == BookLayout::Fixed ? QStringLiteral(".xhtml") : QStringLiteral(".html");
}

// The page document of the cover: "cover.html" or "cover.xhtml".
inline QString CoverPageName(BookLayout layout)
{
    return QStringLiteral("cover") + PageDocumentExtension(layout);
}

// The page document of page `page` (counted from 1): "page1.html", "page2.html", ... or "page1.xhtml", ...
inline QString PageDocumentName(qsizetype page, BookLayout layout)
{
    return QStringLiteral("page%1").arg(page) + PageDocumentExtension(layout);
}
