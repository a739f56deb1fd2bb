#pragma once

#include <QString>

// Namespace names of the book's documents.
inline const QString kOpfNamespace = QStringLiteral("http://www.idpf.org/2007/opf");
inline const QString kDublinCoreNamespace = QStringLiteral("http://purl.org/dc/elements/1.1/");
inline const QString kNcxNamespace = QStringLiteral("http://www.daisy.org/z3986/2005/ncx/");
inline const QString kXhtmlNamespace = QStringLiteral("http://www.w3.org/1999/xhtml");
