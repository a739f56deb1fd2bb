#pragma once

#include <QString>
#include <QStringList>

// Empties the content folder: deletes it when it exists, then creates it again with every missing
// parent folder.
void RecreateContentFolder(const QString& oebpsDir);

// Copies every picture of the book into the content folder and writes a page document for each
// (page1.html, page2.html, ...), then the cover picture and cover.html when `coverPath` is not
// empty. A picture that cannot be copied is passed over; its page is written all the same.
// Returns the cover picture's name in the book (empty without a cover).
QString FillContentFolder(const QStringList& rowPaths, const QString& coverPath, const QString& oebpsDir);
