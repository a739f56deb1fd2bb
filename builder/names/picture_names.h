#pragma once

#include "pictures/picture_kind.h"

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

// The names under which a conversion writes its pictures into the content folder.
struct PictureNames {
    QStringList pageNames;  // one per row, in row order
    QString coverName;      // empty when the book has no cover
    // The media type of each picture the book holds ("image/jpeg", "image/png", "image/gif"), by its name.
    QHash<QString, QString> mediaTypes;
    // The size in pixels of each picture the book holds as readers show it (upright), by its name.
    QHash<QString, QSize> displayedSizes;
};

// The pictures of the pages, each file once, in page order, without the cover picture, which the package
// document lists by itself.
QStringList PagePictureFiles(const PictureNames& names);

// The file name under which a picture of `kind` goes into a book: `fileName` as it is when its extension names
// the kind of picture the book holds for it (BookKind: photo.JPEG for a JPEG picture), else with that kind's
// extension (BookExtension) in place of an extension that people give pictures (download.jpg holding a PNG
// picture becomes download.png, scan.tiff becomes scan.png, photo.heic photo.jpg), or after the whole name when
// it has no such extension (scan.001 becomes scan.001.png).
QString NameForKind(const QString& fileName, PictureKind kind);

// Gives every picture of one conversion its name in the book: its own file name where that is free, stored in
// Unicode's composed form (NFC). Two different pictures never share one file: a name already taken in this
// conversion by another picture, or by one of the other files the book holds (its documents: `reserved`, and the
// page documents that `isPageDocument` tells by their form), becomes name-2.jpg, name-3.jpg, ... (the first free
// number). Names are compared as the container format compares them: after Unicode normalisation and full case
// folding, so that "É.jpg" and "é.jpg", or "é" composed and decomposed, are one name. The same picture named twice
// keeps one name. A name beginning with "." is written without its leading dots, because the book leaves hidden
// files out; a character that a file name in a book may not hold (controls, "\", "#", the characters the container
// format forbids, such as "?" and ":", and a final ".") becomes "_".
class PictureNameRegistry {
public:
    // Whether a name, as compared (CaselessKey), is that of one of the book's page documents. They are told by
    // their form rather than kept one by one, which would take megabytes for a big book.
    using PageDocumentTest = std::function<bool(const QString& key)>;

    PictureNameRegistry(const QStringList& reserved, PageDocumentTest isPageDocument);

    // The name in the book of the picture at `path`, which would like the name `fileName` (its own file name,
    // with the extension of its kind: NameForKind).
    QString NameFor(const QString& path, const QString& fileName);

private:
    bool IsTakenByOther(const QString& key, const QString& path) const;

    PageDocumentTest isPageDocument_;
    // Each name in use, as compared, with the path of the picture that owns it (empty for another file the
    // conversion writes).
    QHash<QString, QString> ownerByKey_;
};

// The key by which the book compares names: after canonical decomposition, full Unicode case folding and
// decomposition again.
QString CaselessKey(const QString& name);
