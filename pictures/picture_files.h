#pragma once

#include <QString>
#include <QStringList>

// Which files are pictures for the page list, and in what order a folder of them becomes pages.
// Headless, so that the window and the command line share one rule.

// Whether the name ends as people name pictures of a kind the book takes (PictureNamePatterns: ".jpg",
// ".png", ".heic", ...), in any case: the files of a folder that are taken for pictures, to be checked by their
// content like any other.
bool HasPictureName(const QString& name);

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

// The regular files (and links to them) in `folder` that HasPictureName takes; hidden files (a
// name beginning with ".") are left out.
FolderPictures PicturesInFolder(const QString& folder);

// The pictures that a program's arguments name, in argument order: a file as it is named (made
// absolute), a folder's pictures (PicturesInFolder) in its place.
FolderPictures PicturesNamedBy(const QStringList& arguments);

// Pictures checked by their content (InspectPictureFile) before the page list takes them.
struct CheckedPictures {
    QStringList accepted;
    // Each refused file as "<path> (<reason>)": missing, unreadable, not a picture, or a picture that is damaged
    // or cut short.
    QStringList refused;
};

// Checks each of `paths` and sorts them out, in their order.
CheckedPictures CheckPictures(const QStringList& paths);
