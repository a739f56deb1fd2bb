#pragma once

// What the library knows of each kind of picture, one file per kind. Internal to the library: its users
// go through picture_inspection.h, picture_preparation.h and picture_preview.h.

#include "pictures/byte_output.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/pixel_buffer.h"
#include "pictures/stored_rows.h"
#include "pictures/upright_rows.h"

#include <QByteArray>
#include <QSize>

#include <memory>
#include <optional>

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

// The rows of a picture of the kinds a book converts, and of a PNG picture, as stored (a HEIF picture comes out
// upright), 8 bits a sample: RGB, or RGBA when it has transparency. libheif, libavif, libwebp and stb_image
// decode a picture only whole: such a picture is refused before it is decoded when the memory that takes would
// pass kMaxPictureWorkBytes. A TIFF picture is read by its strips or tiles, a band at a time, and a PNG picture
// row by row (an interlaced one whole). Each refuses data it cannot decode with the reason, and `source` must
// outlive what it returns. Throws PictureError.
std::unique_ptr<StoredRows> ReadHeif(const PictureSource& source);
std::unique_ptr<StoredRows> ReadAvif(const PictureSource& source);
std::unique_ptr<StoredRows> ReadWebp(const PictureSource& source);
std::unique_ptr<StoredRows> ReadTiff(const PictureSource& source);
std::unique_ptr<StoredRows> ReadBmp(const PictureSource& source);

// The same for a picture of `kind`, every kind but JPEG and GIF, which are decoded their own ways.
std::unique_ptr<StoredRows> ReadStored(const PictureSource& source, PictureKind kind);

// The rows of a PNG picture, read afresh at each pass; an interlaced picture, whose rows come in seven passes
// over the whole picture, is decoded whole once.
class PngRows : public StoredRows {
public:
    explicit PngRows(const PictureSource& source);

    QSize Size() const override { return size_; }
    PixelLayout Layout() const override { return layout_; }
    QByteArray IccProfile() const override { return iccProfile_; }
    qint64 ReadingBytes() const override;
    void Pass(int first, int last, const RowTaker& take) override;

private:
    const PictureSource& source_;
    QSize size_;
    PixelLayout layout_ = PixelLayout::Rgb;
    QByteArray iccProfile_;
    std::optional<HeldRows> held_;
};

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

// Compresses an 8-bit grey, RGB or RGBA picture as PNG into `output`, without its alpha channel when asked,
// with the colour profile `iccProfile` when it is not empty.
void WritePng(UprightRows& picture, bool withoutAlpha, const QByteArray& iccProfile, ByteOutput& output);

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
