#pragma once

#include <QString>

// Writes the page document that shows one picture: twelve lines, each ending in CR LF. The page's
// title is the book's title; the picture is named by its file name relative to the page, as a URL,
// with `altText` ("Cover", "Page 1", ...) for readers that cannot show it. The page links the
// book's style sheet. Creates the file or replaces its whole content. Returns false, and reports
// nothing, when the file cannot be created or written.
bool WritePageDocument(const QString& pagePath, const QString& pictureFileName, const QString& title,
                       const QString& altText);
