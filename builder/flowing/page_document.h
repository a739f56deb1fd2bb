#pragma once

#include <QByteArray>
#include <QString>

// The page document that shows one picture: twelve lines, each ending in CR LF. The page's title is the book's
// title; the picture is named by its file name relative to the page, as a URL, with `altText` ("Cover", "Page 1",
// ...) for readers that cannot show it, in the book's `language`. The page links the book's style sheet.
QByteArray PageDocumentText(const QString& pictureFileName, const QString& title, const QString& altText,
                            const QString& language);
