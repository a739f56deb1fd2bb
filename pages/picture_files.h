#pragma once

#include <QString>
#include <QStringList>

// Which files are pictures for the page list, and in what order a folder of them becomes pages.
// Headless, so that the window and the command line share one rule.

// Whether the name ends in ".jpg" or ".jpeg", in any case: the pictures the page list takes.
bool IsJpegFileName(const QString& name);

// Natural order of names: runs of digits compare by value, other text without regard to case, so
// that page2 comes before page10 and Page1 before page2. Names equal that way keep a fixed order.
bool NaturalLess(const QString& a, const QString& b);

// The pictures directly inside a folder (not in its subfolders), as full paths in natural order.
struct FolderPictures {
    QStringList paths;
    // Pictures whose file name is not valid UTF-8: this program cannot name them in a book. Each as
    // its path with the undecodable bytes shown as replacement characters.
    QStringList undecodable;
};

// The regular files (and links to them) in `folder` that IsJpegFileName takes; hidden files (a
// name beginning with ".") are left out.
FolderPictures PicturesInFolder(const QString& folder);

// The pictures that a program's arguments name, in argument order: a file as it is named (made
// absolute), a folder's pictures (PicturesInFolder) in its place.
FolderPictures PicturesNamedBy(const QStringList& arguments);
