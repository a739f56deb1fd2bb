#pragma once

#include <QString>
#include <QStringList>

// What a picture is, as its bytes say. A book carries JPEG, PNG and GIF pictures as they are; every other
// kind is converted for it: to JPEG when the source is lossy, to PNG when it is lossless.
enum class PictureKind {
    Jpeg,
    Png,
    Gif,
    Heif,  // HEIC and the other HEIF pictures
    Avif,
    WebpLossy,
    WebpLossless,
    Tiff,
    Bmp,
};

// The kind's name as a person knows it: "JPEG", "PNG", "GIF", "HEIF", "AVIF", "WebP", "TIFF", "BMP".
QString KindName(PictureKind kind);

// The kind of picture a book holds for a picture of `kind`: Jpeg, Png or Gif.
PictureKind BookKind(PictureKind kind);

// The media type of the picture the book holds for a picture of `kind`: "image/jpeg", "image/png" or
// "image/gif".
QString BookMediaType(PictureKind kind);

// The extension of the picture's name in the book, with its dot: ".jpg", ".png" or ".gif".
QString BookExtension(PictureKind kind);

// The file-name patterns people give pictures of every kind ("*.jpg", "*.heic", ...), lower case: for a
// file dialog's filter, and to pick the pictures out of a folder's other files. Which kind a picture is, and
// whether a file is a picture at all, is decided by its bytes, never by these.
QStringList PictureNamePatterns();
