#pragma once

#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/pixel_buffer.h"

#include <QSize>

// The picture in `source`, which InspectPicture described as `info`, decoded for a preview: RGB, upright,
// of exactly `target` pixels (at least 1 x 1, at most info.DisplayedSize()), each pixel the mean of those it
// covers, transparent parts laid on white, the first frame of a GIF.
//
// JPEG, PNG and GIF pictures are decoded row by row and reduced as the rows arrive, so the memory stays
// bounded whatever their size: a JPEG picture is also scaled down by its decoder first; an interlaced PNG
// or GIF picture contributes the rows of its last pass, every other row. Pictures of the kinds that are
// converted are read as PrepareForBook reads them (a TIFF picture a band of strips or tiles at a time, the
// others whole, refused beforehand when that would pass kMaxPictureWorkBytes) and reduced as their rows come.
//
// All of the picture's data is read, and a picture that CheckPictureWhole or PrepareForBook refuses is refused
// here too, with the same reason, so that the preview never shows what a book would not take.
//
// Throws PictureError (JpegError for a JPEG picture the decoder rejects).
PixelBuffer DecodeForPreview(const PictureSource& source, const PictureInfo& info, QSize target);
