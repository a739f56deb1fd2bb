#include "pictures/picture_preparation.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/jpeg_encoder.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"

#include <vector>

namespace {

void CopyAll(const PictureSource& source, ByteOutput& output)
{
    constexpr std::size_t kBlockBytes = 1 << 20;
    std::vector<char> block(kBlockBytes);
    for (qint64 at = 0; at < source.Size();) {
        const std::size_t got = source.ReadAt(at, block.data(), block.size());
        if (got == 0) {
            Refuse(picture_reason::kCutShort);
        }
        output.Write(block.data(), got);
        at += static_cast<qint64>(got);
    }
}

// The turn reads all of the picture's data and refuses damage as CheckPictureWhole does: the lossless
// transform stops at any warning, and then the check tells a warning of damage, which refuses the picture
// with the check's reason, from a harmless one, after which the transform runs again without stopping. The
// transform holds the file, the picture's coefficients and the turned ones, and writes the turned file into
// memory: a picture for which that would pass kMaxPictureWorkBytes is decoded and encoded again instead, in
// bands.
void TurnJpeg(const PictureSource& source, int orientation, ByteOutput& output)
{
    JpegReader reader = JpegReader::OpenSource(source, JpegReader::Markers::All);
    if (2 * source.Size() + 2 * reader.CoefficientBytes() <= kMaxPictureWorkBytes) {
        const QByteArray jpeg = source.All();
        LosslessTurn turn = TurnJpegLosslessly(jpeg, orientation, true);
        if (turn.stoppedAtWarning) {
            JpegReader::OpenSource(source).ReadWhole();
            turn = TurnJpegLosslessly(jpeg, orientation, false);
        }
        if (turn.turned) {
            output.Write(turn.turned->constData(), static_cast<std::size_t>(turn.turned->size()));
            return;
        }
    }
    reader.WriteTurned(orientation, output);
}

// Writes the upright picture of `stored` as a book holds a converted picture: of a lossy kind as a JPEG picture,
// of a lossless kind as a PNG picture without its alpha channel when every pixel is opaque.
void WriteConvertedRows(UprightRows& upright, StoredRows& stored, bool lossy, ByteOutput& output)
{
    if (lossy) {
        WriteJpeg(upright, kConvertedJpegQuality, stored.IccProfile(), output);
    } else {
        WritePng(upright, AllOpaque(stored), stored.IccProfile(), output);
    }
}

}  // namespace

void PrepareForBook(const PictureSource& source, const PictureInfo& info, ByteOutput& output)
{
    if (info.CarriedAsIs()) {
        CopyAll(source, output);
        return;
    }
    if (info.kind == PictureKind::Jpeg) {
        TurnJpeg(source, info.orientation, output);
        return;
    }
    const std::unique_ptr<StoredRows> stored = ReadStored(source, info.kind);
    UprightRows upright(*stored, info.orientation);
    WriteConvertedRows(upright, *stored, BookKind(info.kind) == PictureKind::Jpeg, output);
}

void WriteConverted(const PixelBuffer& picture, const QByteArray& iccProfile, bool lossy, ByteOutput& output)
{
    const PixelLayout layout = picture.channels == 1   ? PixelLayout::Grey
                               : picture.channels == 4 ? PixelLayout::Rgba
                                                       : PixelLayout::Rgb;
    HeldRows held(QSize(picture.width, picture.height), layout, picture.bytes.data(),
                  static_cast<std::ptrdiff_t>(picture.RowBytes()), nullptr, iccProfile);
    UprightRows upright(held, 1);
    WriteConvertedRows(upright, held, lossy, output);
}
