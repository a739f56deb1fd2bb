#pragma once

#include "comics/pdf_page_picture.h"
#include "pictures/pixel_buffer.h"

#include <QtGlobal>

// The bytes the stored rows of a picture stored as pixels take, and those of the grey or RGB picture it becomes:
// the larger of the two is what decoding it holds.
qint64 PdfPixelBytes(const PdfPagePicture& picture);

// A page's picture stored as pixels, decoded to grey or RGB pixels of 8 bits. Throws PictureError: too large
// beyond kMaxWholePixels or when PdfPixelBytes is more than `limitBytes` (checked before anything is read); cut
// short when its data ends before its last row; damaged when its compression cannot be undone.
PixelBuffer DecodePdfPixels(const PdfPagePicture& picture, qint64 limitBytes);
