#pragma once

#include "pictures/jpeg_decoder.h"
#include "pictures/pixel_buffer.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// The picture that the page preview shows for a picture file. The preview box draws whatever
// it gets stretched over its whole area; what is decided here is the resolution.

// The size of the picture the preview box gets, for a picture of pictureSize and a box of
// boxSize (at least 1 x 1):
// - a picture that fits the box (width and height no greater than the box's) keeps its size;
// - otherwise Factor is the width divided by the box width when the picture is at least as
//   wide as high, else the height divided by the box height (both truncating), and the
//   picture is reduced to its width and height divided by Factor (truncating, but never
//   below 1 pixel);
// - a Factor of 0 (141 to 166 wide in a 140 x 168 box, taller than wide, less tall than the
//   box) keeps the picture's size: it is shown unreduced.
QSize PreviewPictureSize(QSize pictureSize, QSize boxSize);

// What the preview box gets for the picture file at path: nothing when path is empty or no
// file exists there, else the picture decoded as RGB, upright, at PreviewPictureSize of its
// upright size (DecodeForPreview: a large JPEG, PNG or GIF picture is never held at full size).
// Throws PictureError with the reason when the file cannot be opened, is no picture (an empty
// file, a text), or is damaged; JpegError ("JPEG error #N") when the JPEG decoder rejects it.
std::optional<QImage> MakePreviewPicture(const QString& path, QSize boxSize);

// The same for a JPEG picture whose header has been read, as it is stored.
QImage MakePreviewPicture(JpegReader& reader, QSize boxSize);

// A decoded RGB picture of the picture library as an image for the window (QImage::Format_RGB888).
QImage PreviewImage(const PixelBuffer& picture);
