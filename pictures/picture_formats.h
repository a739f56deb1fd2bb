#pragma once

// What the library knows of each kind of picture, one file per kind. Internal to the library: its users
// go through picture_inspection.h, picture_preparation.h and picture_preview.h.

#include "pictures/byte_output.h"
#include "pictures/jpeg_decoder.h"
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
// The same for showing a JPEG picture: a header the decoder rejects comes as its JpegError ("JPEG error #N"),
// which the window shows, where InspectJpeg gives the decoder's words.
PictureInfo InspectJpegToShow(const PictureSource& source);
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
// whatever the picture's size. A GIF gives its first frame. Both read all of the data CheckPngWhole and
// CheckGifWhole read, and refuse what they refuse with the same reason.
PixelBuffer ReducePng(const PictureSource& source, QSize target);
PixelBuffer ReduceGif(const PictureSource& source, QSize target);

// Each reads all of the picture's coded data, keeping nothing of what it decodes, and throws PictureError with
// the reason when it is damaged: every chunk of a PNG picture with its checksum and its pixel data complete for
// its size; the first frame of a GIF picture complete. Their memory grows with the width of one row.
void CheckPngWhole(const PictureSource& source);
void CheckGifWhole(const PictureSource& source);

// Compresses an 8-bit grey, RGB or RGBA picture as PNG into `output`, with the colour profile `iccProfile` when
// it is not empty.
void WritePng(const PixelBuffer& picture, const QByteArray& iccProfile, ByteOutput& output);

// The ICC colour profile a PNG picture carries, read from its header; empty when none.
QByteArray PngIccProfile(const PictureSource& source);

// The JPEG picture `jpeg` turned upright without decoding it, as libjpeg-turbo's lossless transform does
// it, its markers kept and its EXIF orientation set to 1: `turned` is empty when the transform failed, as it
// does when the picture's size does not allow a perfect turn (a partial block at an edge that would move).
// With `stopAtWarning`, any warning of the decoder stops it too, and `stoppedAtWarning` says so: the
// transform cannot tell a warning of damage from a harmless one.
struct LosslessTurn {
    std::optional<QByteArray> turned;
    bool stoppedAtWarning = false;
};
LosslessTurn TurnJpegLosslessly(const QByteArray& jpeg, int orientation, bool stopAtWarning);

// Whether the boxes at the top of an ISO media file (HEIF, AVIF) all end within the file: a picture cut
// short leaves its last box, the one that holds the coded picture, unfinished.
bool TopLevelBoxesWhole(const PictureSource& source);

// Throws PictureError with the text of `reason`.
[[noreturn]] void Refuse(const char* reason);

// The JPEG decoder's error told in its own words, as the book's checks give it.
PictureError InWords(const JpegError& error);
