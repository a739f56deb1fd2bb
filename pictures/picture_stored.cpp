#include "pictures/picture_formats.h"

std::unique_ptr<StoredRows> ReadStored(const PictureSource& source, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Png:
        return std::make_unique<PngRows>(source);
    case PictureKind::Heif:
        return ReadHeif(source);
    case PictureKind::Avif:
        return ReadAvif(source);
    case PictureKind::WebpLossy:
    case PictureKind::WebpLossless:
        return ReadWebp(source);
    case PictureKind::Tiff:
        return ReadTiff(source);
    case PictureKind::Bmp:
        return ReadBmp(source);
    case PictureKind::Jpeg:
    case PictureKind::Gif:
        break;
    }
    Q_UNREACHABLE();
}
