#pragma once

#include "pictures/picture_info.h"
#include "pictures/picture_source.h"

// Proves that a picture the book carries as it is (a JPEG, PNG or GIF picture that stands upright:
// info.CarriedAsIs()), which InspectPicture described as `info`, is whole, by reading all of its coded data:
// - JPEG: the coded data decoded, at the decoder's smallest scale; it must neither run out before the picture
//   is complete nor hold what does not decode (bad codes, restart markers out of place, stray bytes inside
//   the data). Stray bytes after the last block and anything after the end-of-image marker are allowed:
//   cameras write them, and every reader shows such pictures;
// - PNG: every chunk's checksum, and the pixel data inflated and complete for the picture's size;
// - GIF: the first frame's data complete.
// Every other picture is proven by PrepareForBook, which reads all of its data to turn or convert it and
// refuses damage the same way: for those this returns at once. The preview (DecodeForPreview) refuses every
// picture this refuses, with the same reason.
//
// Works row by row in bounded memory, fails at the first damage, and keeps no state between calls, so that
// several pictures may be checked at once on different threads. Throws PictureError with the reason: "the
// picture is cut short", "the picture is damaged", "the picture is too large: ..." for a multi-scan JPEG
// picture whose decoding would pass kMaxPictureWorkBytes, or the decoder's own words.
void CheckPictureWhole(const PictureSource& source, const PictureInfo& info);
