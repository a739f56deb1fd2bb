#include "pictures/picture_preview.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"
#include "pictures/row_reducer.h"

namespace {

PixelLayout LayoutOf(const PixelBuffer& pixels)
{
    switch (pixels.channels) {
    case 1:
        return PixelLayout::Grey;
    case 4:
        return PixelLayout::Rgba;
    default:
        return PixelLayout::Rgb;
    }
}

PixelBuffer ReduceStored(const PictureSource& source, const PictureInfo& info, QSize target)
{
    switch (info.kind) {
    case PictureKind::Jpeg:
        return JpegReader::OpenSource(source).Decode(target);
    case PictureKind::Png:
        return ReducePng(source, target);
    case PictureKind::Gif:
        return ReduceGif(source, target);
    default:
        break;
    }
    const DecodedPicture whole = DecodeStored(source, info.kind);
    RowReducer reducer({whole.pixels.width, whole.pixels.height}, target, LayoutOf(whole.pixels));
    for (int y = 0; y < whole.pixels.height; ++y) {
        reducer.AddRow(whole.pixels.Row(y));
    }
    return reducer.TakeResult();
}

}  // namespace

PixelBuffer DecodeForPreview(const PictureSource& source, const PictureInfo& info, QSize target)
{
    Q_ASSERT(!target.isEmpty() && target.width() <= info.DisplayedSize().width()
             && target.height() <= info.DisplayedSize().height());
    const QSize stored = info.orientation >= 5 ? target.transposed() : target;
    return TurnUpright(ReduceStored(source, info, stored), info.orientation);
}
