#include "pictures/page_decoding.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/jpeg_reader_state.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"

#include <cstring>

namespace {

bool Covers(QSize size, QSize least)
{
    return size.width() >= least.width() && size.height() >= least.height();
}

UprightPicture DecodeJpeg(const PictureSource& source, QSize least, bool grey)
{
    JpegReader reader = JpegReader::OpenSource(source, JpegReader::Markers::All);
    // The profile is among the markers of the header, which the end of the decoding lets go.
    QByteArray profile = reader.IccProfile();
    PixelBuffer pixels = reader.DecodeScaled(least, grey);
    return {std::move(pixels), std::move(profile)};
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

UprightPicture DecodeStoredAtLeast(const PictureSource& source, const PictureInfo& info, QSize least, bool grey)
{
    switch (info.kind) {
    case PictureKind::Jpeg:
        return DecodeJpeg(source, least, grey);
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
    const std::unique_ptr<StoredRows> stored = ReadStored(source, info.kind);
    return {Opaque(HoldWhole(*stored)), stored->IccProfile()};
}

}  // namespace

PixelBuffer JpegReader::DecodeScaled(QSize least, bool grey)
{
    Q_ASSERT(Covers(Size(), least));
    State& state = *state_;
    jpeg_decompress_struct& info = state.info;
    info.out_color_space = DecodedColourSpace(info.jpeg_color_space);
    info.scale_denom = 8;
    for (info.scale_num = 1; info.scale_num < 8; ++info.scale_num) {
        state.Guarded([&info] { jpeg_calc_output_dimensions(&info); });
        if (Covers(QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height)), least)) {
            break;
        }
    }
    if (info.out_color_space == JCS_CMYK) {
        // Decode turns inks into RGB, and at the scale chosen here it has nothing to average.
        state.Guarded([&info] { jpeg_calc_output_dimensions(&info); });
        return Decode(QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height)));
    }
    if (grey) {
        info.out_color_space = JCS_GRAYSCALE;
    }
    state.StartDecompress();
    PixelBuffer pixels(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       info.output_components);
    int y = 0;
    state.ReadRows([&pixels, &y](const JSAMPLE* row) { std::memcpy(pixels.Row(y++), row, pixels.RowBytes()); });
    return pixels;
}

UprightPicture DecodeAtLeast(const PictureSource& source, const PictureInfo& info, QSize least, bool grey)
{
    UprightPicture picture =
        DecodeStoredAtLeast(source, info, info.orientation >= 5 ? least.transposed() : least, grey);
    if (info.orientation != 1) {
        picture.pixels = TurnUpright(picture.pixels, info.orientation);
    }
    return picture;
}
