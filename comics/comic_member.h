#pragma once

#include <QString>
#include <QStringList>

// A file inside a comic archive, or a page of a PDF.
struct ComicMember {
    // An archive's file: its place among the archive's entries (folders counted), from 0, in the order the archive
    // lists them. A PDF's page: its page number less one.
    int index = -1;
    // Its path inside the archive as the archive gives it, "./" steps left out ("Chapter 1/001.jpg"); a PDF's
    // page is "page 1", "page 2", ...
    QString path;
};

// The name a person sees for a file inside an archive or PDF: the container's file name, " › " and the member's
// path, "Vol 1.cbz › 001.jpg".
QString ComicMemberName(const QString& containerPath, const QString& memberPath);

// The same with the container's whole path, as messages name it: "/home/ann/Vol 1.cbz › 001.jpg". Without a
// member path, the container's path alone.
QString ComicMemberFullName(const QString& containerPath, const QString& memberPath);

// The folder names and the file name of a path inside an archive, parted at "/" and at "\\", which archives made
// on Windows may use instead.
QStringList MemberPathParts(const QString& path);

// Natural order of paths inside an archive: folder by folder, each name in natural order (NaturalLess), so that
// "Chapter 2/010.jpg" comes before "Chapter 10/001.jpg" and "page2.jpg" before "page10.jpg".
bool NaturalPathLess(const QString& a, const QString& b);
