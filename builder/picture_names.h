#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The names under which a conversion copies its pictures into the content folder.
struct PictureNames {
    QStringList pageNames;  // one per row, in row order
    QString coverName;      // empty when the book has no cover
};

// Gives every picture its name in the book: its own file name where that is free. Two different
// pictures never share one file: a name already taken in this conversion by another picture, or by
// one of the files the conversion writes (pageN.html, cover.html, fb.opf, fb.ncx,
// stylesheet.css), becomes name-2.jpg, name-3.jpg, ... (the first free number); ASCII letters are
// compared without case. The same picture named twice keeps one name. A name beginning with "."
// is written without its leading dots, because the book leaves hidden files out; a character that
// a file name in a book may not hold (controls, "\", "#", the characters the container format
// forbids, such as "?" and ":", and a final ".") becomes "_".
// `pause` runs every so many pictures, so that a long list lets the person's events through.
PictureNames AssignPictureNames(const QStringList& rowPaths, const QString& coverPath,
                                const std::function<void()>& pause = {});
