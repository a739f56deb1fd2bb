#pragma once

#include <QStringList>

// The pictures named on the command line, in argument order: a file argument is taken as it is;
// a folder argument adds the .jpg and .jpeg files directly inside it (extension in any case,
// hidden files left out) in natural order, so that page2 comes before page10.
struct PictureArguments {
    QStringList pictures;
    // What keeps pictures out of a book, a line each ("Cannot read picture: <path> (<reason>)"):
    // pictures that cannot be read, and files in a folder whose names are not UTF-8.
    QStringList problems;
};

// Expands the arguments and checks every picture, and the cover when `coverPath` is not empty.
PictureArguments ExpandPictureArguments(const QStringList& arguments, const QString& coverPath);
