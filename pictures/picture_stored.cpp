#include "pictures/picture_formats.h"

DecodedPicture DecodeStored(const PictureSource& source, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Png:
        return DecodePng(source);
    case PictureKind::Heif:
        return DecodeHeif(source);
    case PictureKind::Avif:
        return DecodeAvif(source);
    case PictureKind::WebpLossy:
    case PictureKind::WebpLossless:
        return DecodeWebp(source);
    case PictureKind::Tiff:
        return DecodeTiff(source);
    case PictureKind::Bmp:
        return DecodeBmp(source);
    case PictureKind::Jpeg:
    case PictureKind::Gif:
        break;
    }
    Q_UNREACHABLE();
}
