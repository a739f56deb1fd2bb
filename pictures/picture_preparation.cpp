#include "pictures/picture_preparation.h"

#include "pictures/file_output.h"
#include "pictures/jpeg_decoder.h"
#include "pictures/jpeg_encoder.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"

#include <vector>

namespace {

void CopyAll(const PictureSource& source, int descriptor)
{
    constexpr std::size_t kBlockBytes = 1 << 20;
    std::vector<char> block(kBlockBytes);
    for (qint64 at = 0; at < source.Size();) {
        const std::size_t got = source.ReadAt(at, block.data(), block.size());
        if (got == 0) {
            Refuse(picture_reason::kCutShort);
        }
        WriteAll(descriptor, block.data(), got);
        at += static_cast<qint64>(got);
    }
}

void TurnJpeg(const PictureSource& source, int orientation, int descriptor)
{
    if (const auto turned = TurnJpegLosslessly(source.All(), orientation)) {
        WriteAll(descriptor, turned->constData(), static_cast<std::size_t>(turned->size()));
        return;
    }
    JpegReader::OpenSource(source, JpegReader::Markers::All).WriteTurned(orientation, descriptor);
}

}  // namespace

void PrepareForBook(const PictureSource& source, const PictureInfo& info, int descriptor)
{
    if (info.CarriedAsIs()) {
        CopyAll(source, descriptor);
        return;
    }
    if (info.kind == PictureKind::Jpeg) {
        TurnJpeg(source, info.orientation, descriptor);
        return;
    }
    const DecodedPicture decoded = DecodeStored(source, info.kind);
    const PixelBuffer upright = TurnUpright(decoded.pixels, info.orientation);
    if (BookKind(info.kind) == PictureKind::Jpeg) {
        WriteJpeg(upright.channels == 4 ? OnWhite(upright) : upright, kConvertedJpegQuality, decoded.iccProfile,
                  descriptor);
    } else {
        WritePng(WithoutOpaqueAlpha(upright), decoded.iccProfile, descriptor);
    }
}
