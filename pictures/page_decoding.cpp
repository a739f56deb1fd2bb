#include "pictures/page_decoding.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"

namespace {

bool Covers(QSize size, QSize least)
{
    return size.width() >= least.width() && size.height() >= least.height();
}

// The size the JPEG decoder gives at a scale of eighths/8, rounded up as libjpeg rounds it.
QSize DctScaled(QSize size, int eighths)
{
    return QSize((size.width() * eighths + 7) / 8, (size.height() * eighths + 7) / 8);
}

UprightPicture DecodeJpeg(const PictureSource& source, QSize least)
{
    JpegReader reader = JpegReader::OpenSource(source, JpegReader::Markers::All);
    QSize scaled = reader.Size();
    for (int eighths = 1; eighths < 8; ++eighths) {
        if (Covers(DctScaled(reader.Size(), eighths), least)) {
            scaled = DctScaled(reader.Size(), eighths);
            break;
        }
    }
    // Asked for exactly the size of the decoder's scale, the reader delivers its rows as they come.
    PixelBuffer pixels = reader.Decode(scaled);
    return {std::move(pixels), reader.IccProfile()};
}

// The largest whole number by which `size` can be averaged down and still hold twice `least`.
int BoxFactor(QSize size, QSize least)
{
    int factor = 1;
    while (Covers(size / (factor + 1), least * 2)) {
        ++factor;
    }
    return factor;
}

PixelBuffer Opaque(PixelBuffer pixels)
{
    return pixels.channels == 4 ? OnWhite(pixels) : pixels;
}

UprightPicture DecodeStoredAtLeast(const PictureSource& source, const PictureInfo& info, QSize least)
{
    switch (info.kind) {
    case PictureKind::Jpeg:
        return DecodeJpeg(source, least);
    case PictureKind::Png:
        if (const int factor = BoxFactor(info.size, least); factor > 1) {
            return {ReducePng(source, info.size / factor), PngIccProfile(source)};
        }
        break;
    case PictureKind::Gif:
        return {ReduceGif(source, info.size / BoxFactor(info.size, least)), {}};
    default:
        break;
    }
    DecodedPicture whole = DecodeStored(source, info.kind);
    return {Opaque(std::move(whole.pixels)), std::move(whole.iccProfile)};
}

}  // namespace

UprightPicture DecodeAtLeast(const PictureSource& source, const PictureInfo& info, QSize least)
{
    UprightPicture picture = DecodeStoredAtLeast(source, info, info.orientation >= 5 ? least.transposed() : least);
    if (info.orientation != 1) {
        picture.pixels = TurnUpright(picture.pixels, info.orientation);
    }
    return picture;
}
