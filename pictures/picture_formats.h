#pragma once

// What the library knows of each kind of picture, one file per kind. Internal to the library: its users
// go through picture_inspection.h, picture_preparation.h and picture_preview.h.

#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>
#include <QSize>

#include <optional>

// A picture decoded whole as it is stored (not yet turned upright), 8 bits per sample: grey, RGB or RGBA.
struct DecodedPicture {
    PixelBuffer pixels;
    QByteArray iccProfile;  // the colour profile it carries; empty when none
};

// Each reads the header and checks that the data is whole, without decoding the picture. They throw
// PictureError with the reason when the picture is damaged or cut short.
PictureInfo InspectJpeg(const PictureSource& source);
PictureInfo InspectPng(const PictureSource& source);
PictureInfo InspectGif(const PictureSource& source);
PictureInfo InspectHeif(const PictureSource& source);
PictureInfo InspectAvif(const PictureSource& source);
PictureInfo InspectWebp(const PictureSource& source);
PictureInfo InspectTiff(const PictureSource& source);
PictureInfo InspectBmp(const PictureSource& source);

// Whole decoding. HEIF pictures come out upright; the others as stored.
DecodedPicture DecodePng(const PictureSource& source);
DecodedPicture DecodeHeif(const PictureSource& source);
DecodedPicture DecodeAvif(const PictureSource& source);
DecodedPicture DecodeWebp(const PictureSource& source);
DecodedPicture DecodeTiff(const PictureSource& source);
DecodedPicture DecodeBmp(const PictureSource& source);

// The picture decoded whole as stored, for every kind but JPEG and GIF, which are decoded their own ways.
DecodedPicture DecodeStored(const PictureSource& source, PictureKind kind);

// Decoding row by row into `target` (at most the stored size), as stored, RGB; the memory stays bounded
// whatever the picture's size. A GIF gives its first frame.
PixelBuffer ReducePng(const PictureSource& source, QSize target);
PixelBuffer ReduceGif(const PictureSource& source, QSize target);

// The ICC colour profile a PNG picture carries, read from its header; empty when none.
QByteArray PngIccProfile(const PictureSource& source);

// Compresses an 8-bit grey, RGB or RGBA picture as PNG into the file open as `descriptor`, with the colour
// profile `iccProfile` when it is not empty.
void WritePng(const PixelBuffer& picture, const QByteArray& iccProfile, int descriptor);

// The JPEG picture `jpeg` turned upright without decoding it, as libjpeg-turbo's lossless transform does
// it, its markers kept and its EXIF orientation set to 1; nothing when its size does not allow a perfect
// turn (a partial block at an edge that would move).
std::optional<QByteArray> TurnJpegLosslessly(const QByteArray& jpeg, int orientation);

// Whether the boxes at the top of an ISO media file (HEIF, AVIF) all end within the file: a picture cut
// short leaves its last box, the one that holds the coded picture, unfinished.
bool TopLevelBoxesWhole(const PictureSource& source);

// Throws PictureError with the text of `reason`.
[[noreturn]] void Refuse(const char* reason);
