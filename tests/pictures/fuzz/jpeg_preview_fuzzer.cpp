#include "pictures/jpeg_decoder.h"
#include "preview/preview_picture.h"

#include <cstdint>
#include <cstdlib>

// Feeds arbitrary bytes to the preview's JPEG decoding and to the whole decoding of the
// interface art. Rejections by the decoder and refusals of damaged data are expected;
// anything else (a crash, a sanitizer report, a picture of the wrong size, another
// exception) is a finding.
namespace {

constexpr long long kSmallPicturePixels = 512 * 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QSize box(140, 168);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QSize pictureSize;
    try {
        JpegReader reader = JpegReader::OpenBytes(bytes);
        pictureSize = reader.Size();
        const QImage picture = MakePreviewPicture(reader, box);
        if (picture.size() != PreviewPictureSize(pictureSize, box) || picture.format() != QImage::Format_RGB888) {
            std::abort();
        }
    } catch (const PictureError&) {
    }
    // Interface art is small; decoding large pictures whole would only slow the fuzzing.
    if (static_cast<long long>(pictureSize.width()) * pictureSize.height() <= kSmallPicturePixels) {
        try {
            DecodeJpeg(bytes);
        } catch (const PictureError&) {
        }
    }
    return 0;
}
