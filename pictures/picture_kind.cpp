#include "pictures/picture_kind.h"

QString KindName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Jpeg:
        return QStringLiteral("JPEG");
    case PictureKind::Png:
        return QStringLiteral("PNG");
    case PictureKind::Gif:
        return QStringLiteral("GIF");
    case PictureKind::Heif:
        return QStringLiteral("HEIF");
    case PictureKind::Avif:
        return QStringLiteral("AVIF");
    case PictureKind::WebpLossy:
    case PictureKind::WebpLossless:
        return QStringLiteral("WebP");
    case PictureKind::Tiff:
        return QStringLiteral("TIFF");
    case PictureKind::Bmp:
        return QStringLiteral("BMP");
    }
    Q_UNREACHABLE();
}

PictureKind BookKind(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Jpeg:
    case PictureKind::Heif:
    case PictureKind::Avif:
    case PictureKind::WebpLossy:
        return PictureKind::Jpeg;
    case PictureKind::Png:
    case PictureKind::WebpLossless:
    case PictureKind::Tiff:
    case PictureKind::Bmp:
        return PictureKind::Png;
    case PictureKind::Gif:
        return PictureKind::Gif;
    }
    Q_UNREACHABLE();
}

QString BookMediaType(PictureKind kind)
{
    switch (BookKind(kind)) {
    case PictureKind::Png:
        return QStringLiteral("image/png");
    case PictureKind::Gif:
        return QStringLiteral("image/gif");
    default:
        return QStringLiteral("image/jpeg");
    }
}

QString BookExtension(PictureKind kind)
{
    switch (BookKind(kind)) {
    case PictureKind::Png:
        return QStringLiteral(".png");
    case PictureKind::Gif:
        return QStringLiteral(".gif");
    default:
        return QStringLiteral(".jpg");
    }
}

QStringList PictureNamePatterns()
{
    return {QStringLiteral("*.jpg"),  QStringLiteral("*.jpeg"), QStringLiteral("*.jpe"),  QStringLiteral("*.jfif"),
            QStringLiteral("*.png"),  QStringLiteral("*.gif"),  QStringLiteral("*.heic"), QStringLiteral("*.heif"),
            QStringLiteral("*.hif"),  QStringLiteral("*.avif"), QStringLiteral("*.webp"), QStringLiteral("*.tif"),
            QStringLiteral("*.tiff"), QStringLiteral("*.bmp")};
}
