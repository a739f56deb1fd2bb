#pragma once

#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"
#include "comics/comic_member.h"
#include "pictures/picture_info.h"
#include "pictures/screen_pages.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class ConversionUi;
class EventPacer;

// A picture the conversion was given, as it found it before anything is written.
struct SurveyedPicture {
    // Its path: a file's, or a picture's inside a comic archive or PDF (MemberAddressOf).
    QString path;
    // For a picture inside a comic archive or PDF: the container's path, and the picture in it.
    QString container;
    ComicMember member;
    // What its header says; the picture is proven whole, and turned, converted or made for a screen, only while it
    // is packed.
    PictureInfo info;
    // Its size in bytes when it was looked at (0 inside a container); -1 for a picture that cannot go into a book.
    qint64 size = 0;
    // The pages the book holds for it, and whether it is the cover, which is made into one page whatever its shape.
    PagePlan plan;
    bool cover = false;
};

// A picture the book holds: one of the pages its source picture gives.
struct BookPicture {
    // The source picture, and which of its planned pages this is.
    qsizetype source = 0;
    qsizetype part = 0;
    // Its name in the book.
    QString name;
    // The kind of picture the book holds.
    PictureKind kind = PictureKind::Jpeg;
    // Its size as readers show it; empty until the picture is made when trimming decides it.
    QSize size;
};

// The pictures of one book: each picture file once, in the order the pages and then the cover first show it; the
// pictures the book holds for them; and the names the documents give them.
struct BookPictures {
    std::vector<SurveyedPicture> sources;
    std::vector<BookPicture> pictures;
    // The picture each page of the book shows, as an index into `pictures`; a source picture made into several
    // pages gives several pages. The cover's, -1 for none.
    std::vector<qsizetype> pages;
    qsizetype cover = -1;
    PictureNames names;
    // A line each: "Cannot read picture: <path> (<reason>)".
    QStringList problems;
    // How the pictures are made into pages (the cover's double pages kept), and whether the size of some picture is
    // known only once it is made (its margins trimmed).
    PageOptions options;
    bool sizesMadeLater = false;
};

// The options by which the source picture `source` is made into pages.
PageOptions OptionsFor(const BookPictures& book, const SurveyedPicture& source);

// Looks at every picture of the book (`rowPaths` in book order, then `settings.coverPath` when it is not empty) by
// its header, without reading it whole (a comic archive or PDF that holds pictures of the book is listed once): its
// kind, size and orientation, and the pages the book holds for it as `settings.pages` makes them (one, or for a double
// page made for a screen, its halves); names each picture the book holds as `format` names pictures: a picture kept as
// it is with the extension of the kind of picture the book holds for it (NameForKind), a page made for a screen as a
// JPEG picture, the parts of one picture numbered. A picture that is missing, cannot be read, or is no picture a book
// can hold is named among the problems, with the reason; the others are looked at all the same. Reports the pictures
// done to `ui` and lets events through with `pacer`, which stops it with EUserCanceled when asked to.
BookPictures SurveyPictures(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                            EventPacer& pacer, ConversionUi& ui);

// Fills in the names' sizes of the pictures whose sizes were known only once they were made.
void NoteMadeSizes(BookPictures& book);

// The line that names a picture which cannot go into the book.
QString PictureProblem(const QString& path, const QString& reason);
