#pragma once

#include "builder/book_documents.h"

#include <QString>

// Writes the page document of a fixed-layout book that shows one picture: an XHTML 5 document whose viewport,
// body and picture all have the picture's displayed size, so that a reader scales the whole page to its screen
// and shows the picture edge to edge. The picture is named by its file name as a URL, with the page's `altText`.
// Creates the file or replaces its whole content. Returns false, and reports nothing, when the file cannot be
// created or written.
bool WriteFixedPageDocument(const QString& pagePath, const PageOfBook& page);
