#include "pictures/exif_orientation.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/picture_formats.h"

#include <memory>

#include <turbojpeg.h>

namespace {

// Reads a file forwards one block at a time, for the walk to a JPEG picture's end.
class ForwardReader {
public:
    ForwardReader(const PictureSource& source, qint64 start) : source_(source), next_(start) {}

    // The next byte, or -1 at the end of the file.
    int Next()
    {
        if (at_ == block_.size()) {
            block_ = source_.BytesAt(next_, kBlockBytes);
            next_ += block_.size();
            at_ = 0;
            if (block_.isEmpty()) {
                return -1;
            }
        }
        return static_cast<unsigned char>(block_[at_++]);
    }

    // Skips to the next 0xFF byte; false at the end of the file.
    bool ToNextMarkerByte()
    {
        for (;;) {
            const qsizetype found = block_.indexOf('\xFF', at_);
            if (found >= 0) {
                at_ = found;
                return true;
            }
            at_ = block_.size();
            if (Next() < 0) {
                return false;
            }
            --at_;
        }
    }

    void Skip(qint64 count)
    {
        const qint64 inBlock = block_.size() - at_;
        if (count <= inBlock) {
            at_ += static_cast<qsizetype>(count);
            return;
        }
        next_ += count - inBlock;
        at_ = block_.size();
    }

private:
    static constexpr qint64 kBlockBytes = 256 * 1024;

    const PictureSource& source_;
    qint64 next_;
    QByteArray block_;
    qsizetype at_ = 0;
};

constexpr int kStartOfScan = 0xDA;
constexpr int kEndOfImage = 0xD9;

// Whether the picture data that starts at `start` reaches an end-of-image marker: a walk over the data and
// the marker segments between the scans of a multi-scan picture. In the data a 0xFF byte is followed by 0
// (a stuffed byte) or by a restart marker; every other marker but the end has a length to skip.
bool ReachesEndOfImage(const PictureSource& source, qint64 start)
{
    ForwardReader reader(source, start);
    while (reader.ToNextMarkerByte()) {
        int marker = reader.Next();
        while (marker == 0xFF) {
            marker = reader.Next();
        }
        if (marker == kEndOfImage) {
            return true;
        }
        if (marker < 0) {
            return false;
        }
        const bool standalone = marker == 0 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
        if (!standalone) {
            const int high = reader.Next();
            const int low = reader.Next();
            if (low < 0) {
                return false;
            }
            reader.Skip((high << 8 | low) - 2);
        }
    }
    return false;
}

// Whether the file ends in the end-of-image marker, after any padding of zero bytes as some cameras write.
bool EndsWithEndOfImage(const PictureSource& source)
{
    constexpr qint64 kTailBytes = 4096;
    QByteArray tail = source.BytesAt(std::max<qint64>(0, source.Size() - kTailBytes), kTailBytes);
    while (tail.endsWith('\0')) {
        tail.chop(1);
    }
    return tail.endsWith("\xFF\xD9");
}

struct TransformHandle {
    void operator()(void* handle) const { tjDestroy(handle); }
};

struct TurboBuffer {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

int TransformFor(int orientation)
{
    switch (orientation) {
    case 2:
        return TJXOP_HFLIP;
    case 3:
        return TJXOP_ROT180;
    case 4:
        return TJXOP_VFLIP;
    case 5:
        return TJXOP_TRANSPOSE;
    case 6:
        return TJXOP_ROT90;
    case 7:
        return TJXOP_TRANSVERSE;
    case 8:
        return TJXOP_ROT270;
    default:
        return TJXOP_NONE;
    }
}

// Sets the orientation in the first EXIF block among the markers before the picture data to 1.
void SetUprightInMarkers(QByteArray& jpeg)
{
    qsizetype at = 2;  // after the start-of-image marker
    while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
        const int marker = static_cast<unsigned char>(jpeg[at + 1]);
        if (marker == kStartOfScan) {
            return;
        }
        const qsizetype length =
            static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]);
        const qsizetype data = at + 4;
        const QByteArray signature(kJpegExifSignature, kJpegExifSignatureLength);
        if (marker == 0xE1 && jpeg.mid(data, kJpegExifSignatureLength) == signature) {
            const qsizetype exifAt = data + kJpegExifSignatureLength;
            QByteArray exif = jpeg.mid(exifAt, length - 2 - kJpegExifSignatureLength);
            if (const auto entry = FindExifOrientation(exif)) {
                SetUpright(exif, *entry);
                jpeg.replace(exifAt, exif.size(), exif);
            }
            return;
        }
        at += 2 + length;
    }
}

}  // namespace

PictureInfo InspectJpegToShow(const PictureSource& source)
{
    const JpegReader reader = JpegReader::OpenSource(source);
    if (!EndsWithEndOfImage(source) && !ReachesEndOfImage(source, reader.HeaderBytes())) {
        Refuse(picture_reason::kCutShort);
    }
    return PictureInfo{PictureKind::Jpeg, reader.Size(), reader.Orientation()};
}

PictureInfo InspectJpeg(const PictureSource& source)
{
    try {
        return InspectJpegToShow(source);
    } catch (const JpegError& error) {
        throw InWords(error);
    }
}

PictureError InWords(const JpegError& error)
{
    return PictureError(error.DecoderMessage().isEmpty() ? error.Text() : error.DecoderMessage());
}

LosslessTurn TurnJpegLosslessly(const QByteArray& jpeg, int orientation, bool stopAtWarning)
{
    const std::unique_ptr<void, TransformHandle> handle(tjInitTransform());
    if (!handle) {
        throw PictureError(QString::fromLocal8Bit(tjGetErrorStr2(nullptr)));
    }
    tjtransform transform{};
    transform.op = TransformFor(orientation);
    transform.options = TJXOPT_PERFECT;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    const int result = tjTransform(handle.get(), reinterpret_cast<const unsigned char*>(jpeg.constData()),
                                   static_cast<unsigned long>(jpeg.size()), 1, &output, &outputSize, &transform,
                                   stopAtWarning ? TJFLAG_STOPONWARNING : 0);
    const std::unique_ptr<unsigned char, TurboBuffer> held(output);
    if (result != 0) {
        return LosslessTurn{std::nullopt, stopAtWarning && tjGetErrorCode(handle.get()) == TJERR_WARNING};
    }
    QByteArray turned(reinterpret_cast<const char*>(output), static_cast<qsizetype>(outputSize));
    SetUprightInMarkers(turned);
    return LosslessTurn{turned, false};
}
