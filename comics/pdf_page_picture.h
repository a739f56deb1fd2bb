#pragma once

#include "common/user_error.h"

#include <QByteArray>
#include <QSize>

#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

// How a PDF page's picture is stored.
enum class PdfPictureCoding {
    Jpeg,      // DCTDecode: a JPEG picture as it is
    Jpeg2000,  // JPXDecode
    Pixels,    // pixels, as they are or compressed with Flate, LZW or run lengths (and written in ASCII or not)
};

// How the samples of a picture stored as pixels become grey or RGB pixels.
struct PdfColours {
    // Samples per pixel in the stored data: 1 (grey, or an index into the palette) or 3 (RGB).
    int components = 1;
    // Channels of the picture made: 1 (grey) or 3 (RGB).
    int channels = 1;
    int bitsPerSample = 8;
    // Whether the page shows each sample inverted (a Decode array [1 0 ...]).
    bool inverted = false;
    // For a picture of indexed colours: `channels` bytes for each index, in order; empty otherwise.
    QByteArray palette;
    // The stream of the colour profile the page gives the picture; null without one. Pages often share one
    // profile of a few megabytes, which is read only when a picture is written (ColourProfile).
    QPDFObjectHandle iccProfile = QPDFObjectHandle::newNull();
};

// The one picture a PDF page shows.
struct PdfPagePicture {
    QPDFObjectHandle image;
    PdfPictureCoding coding = PdfPictureCoding::Pixels;
    QSize size;
    // For a picture stored as pixels.
    PdfColours colours;
};

// A PDF page that is not one picture filling it; the text says why ("it holds text").
class NotOnePicture : public UserError {
public:
    using UserError::UserError;
};

// The picture of a page that shows one picture and nothing else, decided from the page's dictionaries and drawing
// instructions without reading the picture's data: the page is not turned; its drawing instructions draw one
// image, upright, over the whole page (its crop box, within a point or 1 % of its size), and change nothing but
// the drawing state besides; the image is no mask and has no see-through parts, is stored as JPEG, JPEG 2000 or
// pixels, and its colours are grey, RGB or indexed (CMYK too in a JPEG picture). Throws NotOnePicture otherwise,
// and qpdf's own errors when the PDF is damaged.
PdfPagePicture FindPagePicture(QPDFPageObjectHelper& page);

// The colour profile of a picture stored as pixels, empty without one. Throws PictureError when it cannot be read.
QByteArray ColourProfile(const PdfColours& colours);
