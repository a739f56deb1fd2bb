#pragma once

#include "comics/comic_info.h"
#include "comics/comic_limits.h"
#include "comics/comic_member.h"
#include "pictures/picture_info.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// A page of a comic archive or PDF: the picture inside it, and what its bytes say it is.
struct ComicPage {
    ComicMember member;
    // The picture Read gives: for an archive's file and a PDF's JPEG picture, the stored bytes (InspectPicture
    // of them); for a PDF's other pictures, the PNG or JPEG picture they become, of the size the PDF gives.
    PictureInfo info;
};

// What a comic archive or PDF holds for a book.
struct ComicListing {
    // An archive's pictures in natural order of their paths inside it (NaturalPathLess: folders ordered among
    // themselves as names are), whatever their names; a PDF's pages in their order.
    QList<ComicPage> pages;
    // What looks like a picture and cannot be one, each as "<container path> › <member path> (<reason>)", in the
    // order of the container: a picture that is damaged or cut short, a file named as a picture that is none, an
    // archive or PDF inside the archive (which is not opened). Every other file (ComicInfo.xml, Thumbs.db, text,
    // hidden files, anything in __MACOSX) is left out without a word.
    QStringList leftOut;
    // The archive's ComicInfo.xml as read (the one nearest the archive's top); none when there is none.
    std::optional<ComicInfo> comicInfo;
};

// Reads the pictures of one comic archive (libarchive) or PDF (qpdf) without unpacking it: each picture is read
// from the file when it is asked for. A reader keeps its file open; it is used by one thread at a time, and work on
// several threads opens a reader for each.
//
// Every failure throws ComicError, naming the container and, where one is to blame, the file inside it.
class ComicReader {
public:
    // Opens the comic archive or PDF at `path`, known by its first bytes (ComicContainerKindOf). Throws when the
    // file cannot be read or is neither; a PDF is refused here as a whole when it is protected by a password.
    static std::unique_ptr<ComicReader> Open(const QString& path, const ComicLimits& limits = {});

    virtual ~ComicReader() = default;
    ComicReader(const ComicReader&) = delete;
    ComicReader& operator=(const ComicReader&) = delete;

    // Reads the container through once and lists its pages, checking each picture by its content (InspectPicture).
    // An archive is refused as a whole when an entry's name leads out of it (an absolute path, a drive letter,
    // a ".." step), when it holds a symbolic or hard link or a special file, an entry protected by a password or
    // larger than the limit, more entries than the limit, or when it is damaged or cut short. A PDF is refused as
    // a whole when a page is not one picture that fills it (text, drawn shapes, several pictures, a JBIG2 or
    // CCITT fax picture, ...), naming the page and why.
    virtual ComicListing List() = 0;

    // The bytes of one picture that List gave, at most the limit of one member. An archive is read forward: members
    // asked for in increasing index are read in one pass, skipping what lies between, and a member before the last
    // one read opens the archive again and reads forward to it, which in a solid archive (7-Zip, RAR) unpacks all
    // before it. The pages' natural order need not be the archive's own, so many pages are best read in order of
    // index. A PDF's pages are read in any order alike. A PDF's picture stored as JPEG comes byte for byte; its other
    // pictures become PNG pictures (pixels compressed by Flate, LZW or run lengths, and JPEG 2000 coded without
    // loss) or JPEG pictures (JPEG 2000 coded with loss), as the picture library converts pictures of those kinds.
    // Throws also when the member is no longer what List found ("the file has changed since it was read").
    virtual QByteArray Read(const ComicMember& member) = 0;

protected:
    ComicReader() = default;
};
