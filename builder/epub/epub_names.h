#pragma once

#include <QString>

// The names of the files an EPUB book holds in its content folder "OEBPS", beside the pictures. The container
// document (META-INF/container.xml, installation data) names the package document as "OEBPS/" +
// kPackageDocumentName.

inline const QString kContentFolderName = QStringLiteral("OEBPS");
inline const QString kPackageDocumentName = QStringLiteral("fb.opf");
inline const QString kNcxDocumentName = QStringLiteral("fb.ncx");
// The EPUB 3 navigation document; only fixed-layout books carry it.
inline const QString kNavDocumentName = QStringLiteral("nav.xhtml");
// The flowing book's style sheet, beside the page documents that link it.
inline const QString kStyleSheetName = QStringLiteral("stylesheet.css");
// The first entry of every EPUB book, stored, and what it holds.
inline const QString kMimetypeName = QStringLiteral("mimetype");
inline constexpr char kEpubMediaType[] = "application/epub+zip";

// The page document of page `page` (counted from 1) with the extension `extension` (".html", ".xhtml").
inline QString PageDocumentNamed(qsizetype page, const QString& extension)
{
    return QStringLiteral("page%1").arg(page) + extension;
}
