#include "pictures/picture_preview.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"
#include "pictures/row_reducer.h"

namespace {

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
    const std::unique_ptr<StoredRows> stored = ReadStored(source, info.kind);
    RowReducer reducer(stored->Size(), target, stored->Layout());
    stored->Pass(0, stored->Size().height(), [&reducer](int, const std::uint8_t* row) { reducer.AddRow(row); });
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
