#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "common/user_error.h"

#include <memory>

// A fatal error of the JPEG decoder. Its text is "JPEG error #N", N being the decoder's own
// message number (the msg_code of libjpeg's error manager), which is what the error box shows.
class JpegError : public UserError {
public:
    explicit JpegError(int messageCode);

    int MessageCode() const noexcept;

private:
    int messageCode_;
};

// A JPEG picture whose header has been read; its pixels are decoded by Decode.
//
// Decoding never holds the picture at full size unless full size is asked for: the decoder
// scales down by itself (by 1/8 to 8/8) to the smallest size that still covers the asked
// size, and the rows it delivers are averaged into the asked size one at a time. For a
// single-scan (sequential) JPEG the memory used therefore grows with the width of one
// scaled row, not with the picture's area. A multi-scan (progressive) JPEG makes the decoder
// keep every coefficient of the picture; that store is limited to kMaxDecoderMemory, and a
// picture that needs more is refused with the decoder's "backing store not supported" error.
// Since every scan is a pass over that store, a picture of more than kMaxScans scans is
// refused too, with the decoder's "invalid progressive parameters" error.
//
// Warnings of the decoder (premature end of data, corrupt data that it can skip) are
// ignored: the decoder fills in what is missing, and the picture comes out whole.
class JpegReader {
public:
    static constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;
    static constexpr int kMaxScans = 100;

    // Opens the file and reads its header. Throws JpegError when the decoder rejects the
    // header, std::runtime_error when the file cannot be opened. The file is read as the
    // decoder goes, never held in memory whole.
    static JpegReader OpenFile(const QString& path);
    // The same for a picture held in memory (the bytes are shared, not copied).
    static JpegReader OpenBytes(const QByteArray& bytes);

    JpegReader(JpegReader&& other) noexcept;
    JpegReader& operator=(JpegReader&& other) noexcept;
    ~JpegReader();

    // The picture's width and height as its header gives them.
    QSize Size() const;

    // Decodes the picture into an RGB image (QImage::Format_RGB888) of exactly outputSize,
    // which must be at least 1 x 1 and at most Size(); each output pixel is the average of
    // the pixels it covers. Greyscale, RGB, YCbCr, CMYK and YCCK pictures are all turned
    // into RGB. A reader decodes once. Throws JpegError, and std::invalid_argument for an
    // output size out of range.
    QImage Decode(QSize outputSize);

    // The size in which the decoder delivered the rows that Decode averaged, after its own
    // scaling; empty before Decode.
    QSize DecoderOutputSize() const;

private:
    struct State;

    explicit JpegReader(std::unique_ptr<State> state);

    std::unique_ptr<State> state_;
};

// Decodes a whole JPEG picture held in memory, at full size, as RGB: for small pictures
// such as the window's interface art. A picture of more than kMaxWholeJpegPixels pixels is
// refused with the decoder's "image too big" error. Throws JpegError.
inline constexpr long long kMaxWholeJpegPixels = 4096LL * 4096;
QImage DecodeJpeg(const QByteArray& bytes);
