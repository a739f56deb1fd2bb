#pragma once

#include "pictures/byte_output.h"
#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>

// Writes the picture a book holds for the picture in `source`, which InspectPicture described as `info`,
// into `output`. Its kind is BookKind(info.kind), so its
// name in the book takes BookExtension(info.kind), and it stands upright:
// - a JPEG, PNG or GIF picture that stands upright (info.CarriedAsIs()) is copied byte for byte;
// - a JPEG picture to be turned is turned without decoding where its size allows (a partial block at an
//   edge that would move does not), keeping its markers with the EXIF orientation set to 1; otherwise it
//   is decoded, turned, and encoded again with its own quantisation tables and colour sampling, so at its
//   own quality, and never cropped;
// - a HEIF, AVIF or lossy WebP picture becomes a JPEG picture of quality kConvertedJpegQuality without
//   colour subsampling, laid on white where it is transparent;
// - a TIFF, BMP or lossless WebP picture, or a PNG picture to be turned, becomes a PNG picture;
// - every picture keeps its ICC colour profile.
// All of the picture's data is read, and damage is refused as CheckPictureWhole refuses it.
//
// The work stays within kMaxPictureWorkBytes, and a picture whose work would take more is refused before
// it is decoded, with the memory it would take ("the picture is too large: turning it would take 750 MiB,
// more than the 256 MiB a picture may take"). A TIFF picture is read a band of strips or tiles at a time,
// and every picture is written row by row; a HEIF, AVIF, WebP or BMP picture is decoded whole, as its
// library decodes it, and so is an interlaced PNG picture; a picture whose rows change order when it is
// turned upright is gathered a band of the upright picture at a time (see UprightRows), its stored picture
// read again for each band. A JPEG picture's lossless turn holds its coefficients twice and is left for
// decoding and encoding again where those would pass the limit.
//
// Keeps no state between calls: several pictures may be prepared at once on different threads.
//
// Throws PictureError (JpegError for a JPEG picture the decoder rejects) with the reason, and what `output`
// throws; the output may then hold part of the picture, and is the caller's to discard.
void PrepareForBook(const PictureSource& source, const PictureInfo& info, ByteOutput& output);

// Writes a decoded picture (grey, RGB or RGBA, 8 bits per sample, already upright) into `output` as a book holds
// a converted picture: a picture of a lossy kind as a JPEG picture of quality kConvertedJpegQuality without colour
// subsampling, laid on white where it is transparent; a picture of a lossless kind as a PNG picture, without its
// alpha channel when every pixel is opaque. The colour profile is kept. Throws as PrepareForBook does.
void WriteConverted(const PixelBuffer& picture, const QByteArray& iccProfile, bool lossy, ByteOutput& output);
