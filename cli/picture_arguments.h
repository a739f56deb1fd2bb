#pragma once

#include <QStringList>

// The pictures named on the command line, in argument order: a file argument is taken as it is;
// a folder argument adds the .jpg and .jpeg files directly inside it (extension in any case,
// hidden files left out) in natural order, so that page2 comes before page10.
QStringList ExpandPictureArguments(const QStringList& arguments);
