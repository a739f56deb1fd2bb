#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The small picture at the start of a page list's row.

// The size of the thumbnail of a picture of `pictureSize` in a box of `boxSize`: the picture's proportions, as large
// as the box allows, never larger than the picture, at least 1 x 1.
QSize ThumbnailSize(QSize pictureSize, QSize boxSize);

// The thumbnail of the picture file at `path`, upright, of ThumbnailSize for `boxSize`, as RGB32 (quick to paint).
// Decoded from the smallest scale its decoder offers: a JPEG picture by its decoder's own scaling down to an eighth,
// a PNG or GIF picture reduced row by row as it is read (DecodeForPreview). Raises PictureError when the file
// cannot be read or is no picture it can show.
QImage MakeThumbnail(const QString& path, QSize boxSize);
