#pragma once

#include "pictures/picture_info.h"
#include "pictures/picture_source.h"

#include <QString>

// Reads what a picture is from its bytes, never from its name: its kind from its first bytes, its size and
// orientation from its header, and whether its data is whole. Nothing is decoded. A JPEG or PNG picture
// takes one read of its first PictureSource::kHeadBytes and, for a larger file, one read of its last
// bytes; a JPEG picture followed by more than a few kilobytes of other data (a phone's motion photo) is
// read on from its header to its end-of-image marker. HEIF, AVIF, WebP, TIFF and BMP pictures take a few
// more small reads of their structure. A GIF picture is read whole, since only its last block shows that it
// is complete.
//
// Throws PictureError when the file is no picture the library takes or is not whole, with one of the
// reasons of picture_reason or the decoder's own message.
PictureInfo InspectPicture(const PictureSource& source);

// The same for the file at `path`. Throws PictureError also when it cannot be opened or read.
PictureInfo InspectPictureFile(const QString& path);

// The same for showing the picture, where a JPEG header the decoder rejects comes as its JpegError ("JPEG error
// #N"), which the window shows. Every other refusal is InspectPicture's, with its reason, and the preview's
// decoding refuses whatever else a book refuses (see CheckPictureWhole), so the preview and the book agree on
// every picture.
PictureInfo InspectPictureToShow(const PictureSource& source);
