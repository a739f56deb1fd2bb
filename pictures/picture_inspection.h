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

// The same for showing the picture, where a JPEG picture is read by its decoder alone, up to its picture data:
// one cut short is still shown as far as it goes (the decoder fills in the rest), and a header the decoder
// rejects comes as its JpegError ("JPEG error #N"). Every other kind is inspected whole, as its decoding for
// the preview needs its data whole too.
PictureInfo InspectPictureToShow(const PictureSource& source);
