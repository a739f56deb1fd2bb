#pragma once

#include "pictures/picture_error.h"
#include "pictures/pixel_buffer.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <memory>

class ByteOutput;
class PictureSource;

// A fatal error of the JPEG decoder. Its text is "JPEG error #N", N being the decoder's own
// message number (the msg_code of libjpeg's error manager), which is what the error box shows.
// DecoderMessage holds the decoder's words for it, for reports that explain rather than number.
class JpegError : public PictureError {
public:
    explicit JpegError(int messageCode, QString decoderMessage = {});

    int MessageCode() const noexcept;
    QString DecoderMessage() const;

private:
    int messageCode_;
    QString decoderMessage_;
};

// A JPEG picture whose header has been read; its pixels are decoded by Decode or DecodeWhole.
//
// Decoding never holds the picture at full size unless full size is asked for: the decoder
// scales down by itself (by 1/8 to 8/8) to the smallest size that still covers the asked
// size, and the rows it delivers are averaged into the asked size one at a time. For a
// single-scan (sequential) JPEG the memory used therefore grows with the width of one
// scaled row, not with the picture's area. A multi-scan (progressive) JPEG makes the decoder
// keep every coefficient of the picture, two bytes a sample; a picture whose store would pass
// kMaxPictureWorkBytes is refused before decoding, with the memory it would take. Since every
// scan is a pass over that store, a picture of more than kMaxScans scans is refused too, with
// the decoder's "invalid progressive parameters" error.
//
// Decoding reads all of the picture's data up to its end-of-image marker, at any scale, and
// refuses a picture whose data is damaged with PictureError: "the picture is cut short" when the
// file ends before the picture does, "the picture is damaged" when its data runs out early or
// holds what does not decode (bad codes, restart markers out of place, more than a kilobyte of
// data left over after a part of it). A few stray bytes after a part of the data and anything
// after the end-of-image marker are not damage: cameras and phones write them, and every reader
// shows such pictures.
class JpegReader {
public:
    static constexpr int kMaxScans = 100;

    // What the reader keeps of the markers before the picture data: the EXIF block always (for the
    // orientation), every application and comment marker when the picture is to be encoded again.
    enum class Markers { Exif, All };

    // Opens the file and reads its header. Throws JpegError when the decoder rejects the
    // header, PictureError when the file cannot be opened. The file is read as the
    // decoder goes, never held in memory whole.
    static JpegReader OpenFile(const QString& path);
    // The same for a picture held in memory (the bytes are shared, not copied).
    static JpegReader OpenBytes(const QByteArray& bytes);
    // The same for a picture read from `source`, which must outlive the reader.
    static JpegReader OpenSource(const PictureSource& source, Markers markers = Markers::Exif);

    JpegReader(JpegReader&& other) noexcept;
    JpegReader& operator=(JpegReader&& other) noexcept;
    ~JpegReader();

    // The picture's width and height as its header gives them.
    QSize Size() const;

    // The orientation its EXIF block gives, 1 when it has none (see PictureInfo).
    int Orientation() const;

    // The ICC colour profile the picture carries, empty when none. Needs Markers::All.
    QByteArray IccProfile() const;

    // How many bytes of the file the header took, up to the first byte of picture data.
    qint64 HeaderBytes() const;

    // The memory the store of every coefficient of the picture takes, two bytes a sample: what
    // transcoding it holds, and decoding it when it has several scans.
    qint64 CoefficientBytes() const;

    // Decodes the picture into RGB of exactly outputSize, which must be at least 1 x 1 and
    // at most Size(); each output pixel is the average of the pixels it covers. Greyscale,
    // RGB, YCbCr, CMYK and YCCK pictures are all turned into RGB. A reader decodes once.
    // Throws JpegError.
    PixelBuffer Decode(QSize outputSize);

    // Decodes the picture at the smallest of the decoder's scales (1/8 to 8/8) that covers `least` (at most Size()),
    // each row as the decoder delivers it: grey for a grey picture or when `grey` is asked (the decoder then leaves
    // the colour out), RGB otherwise, CMYK and YCCK pictures turned into RGB. A reader decodes once. Throws JpegError.
    PixelBuffer DecodeScaled(QSize least, bool grey);

    // The size in which the decoder delivered the rows that Decode averaged, after its own
    // scaling; empty before Decode.
    QSize DecoderOutputSize() const;

    // Reads all of the picture's data as Decode does, at the decoder's smallest scale and keeping
    // nothing of what it decodes: whether the picture is whole. Throws JpegError, PictureError.
    void ReadWhole();

    // Encodes the picture again, turned upright as `orientation` asks, into `output`: decoded at full
    // size, turned (in bands of the upright picture, decoding it again for each band, when it is larger
    // than a band: see UprightRows), and compressed with the picture's own quantisation tables (mirrored
    // with it) and colour sampling, keeping its markers, with the EXIF orientation set to 1. Its codes
    // are optimised, and a progressive picture stays progressive, when libjpeg may hold all of its
    // coefficients within kMaxPictureWorkBytes. Needs Markers::All, from OpenSource. Refuses a picture
    // whose turning would pass kMaxPictureWorkBytes before decoding it. Throws JpegError, PictureError,
    // and what `output` throws.
    void WriteTurned(int orientation, ByteOutput& output);

    // The decoder's state: internal to the library.
    struct State;

private:
    explicit JpegReader(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

// Decodes a whole JPEG picture held in memory, at full size, as RGB: for small pictures
// such as the window's interface art, which must be whole. A picture of more than kMaxWholeJpegPixels pixels is
// refused with the decoder's "image too big" error. Throws JpegError.
inline constexpr long long kMaxWholeJpegPixels = 4096LL * 4096;
PixelBuffer DecodeJpeg(const QByteArray& bytes);
