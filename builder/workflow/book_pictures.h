#pragma once

#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "builder/workflow/book_settings.h"
#include "pictures/picture_info.h"

#include <QString>
#include <QStringList>

#include <vector>

class ConversionUi;
class EventPacer;

// A picture of the book as the conversion found it before anything is written.
struct SurveyedPicture {
    QString path;
    // What its header says; the picture is proven whole, and turned or converted, only while it is packed.
    PictureInfo info;
    // Its size in bytes when it was looked at.
    qint64 size = 0;
    // Its name in the book; empty for a picture that cannot go into a book.
    QString name;
};

// The pictures of one book: each picture file once, in the order the pages and then the cover first show it, and
// the names the documents give them.
struct BookPictures {
    std::vector<SurveyedPicture> pictures;
    // The picture each page shows, as an index into `pictures`; and the cover's, -1 for none.
    std::vector<qsizetype> pages;
    qsizetype cover = -1;
    PictureNames names;
    // A line each: "Cannot read picture: <path> (<reason>)".
    QStringList problems;
};

// Looks at every picture of the book (`rowPaths` in book order, then `settings.coverPath` when it is not empty) by
// its header, without reading it whole: its kind, size and orientation, and names it in the book as `format` names
// pictures, with the extension of the kind of picture the book holds (NameForKind). A picture that is missing,
// cannot be read, or is no picture a book can hold is named among the problems, with the reason; the others are
// looked at all the same. Reports the pictures done to `ui` and lets events through with `pacer`, which stops it
// with EUserCanceled when asked to.
BookPictures SurveyPictures(const QStringList& rowPaths, const BookSettings& settings, const BookFormat& format,
                            EventPacer& pacer, ConversionUi& ui);

// The line that names a picture which cannot go into the book.
QString PictureProblem(const QString& path, const QString& reason);
