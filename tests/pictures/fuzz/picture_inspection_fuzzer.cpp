#include "pictures/picture_check.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"
#include "pictures/picture_preview.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// Feeds arbitrary bytes to the inspection of a picture and the proof that it is whole, and what they take to
// the preview's decoding and to the preparation of the book's picture. Refusals are expected; anything else
// (a crash, a sanitizer report, a preview of the wrong size, another exception) is a finding.
namespace {

// Decoding large pictures whole would only slow the fuzzing.
constexpr long long kSmallPicturePixels = 512 * 512;

// The book's picture goes nowhere: only its making is fuzzed.
class NoOutput : public ByteOutput {
public:
    void Write(const void*, std::size_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PictureSource source(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    PictureInfo info;
    try {
        info = InspectPicture(source);
        CheckPictureWhole(source, info);
    } catch (const PictureError&) {
        return 0;
    }
    const QSize shown = info.DisplayedSize();
    if (static_cast<long long>(shown.width()) * shown.height() > kSmallPicturePixels) {
        return 0;
    }
    try {
        const QSize target(std::min(shown.width(), 16), std::min(shown.height(), 16));
        const PixelBuffer preview = DecodeForPreview(source, info, target);
        if (preview.width != target.width() || preview.height != target.height() || preview.channels != 3) {
            std::abort();
        }
    } catch (const PictureError&) {
    }
    try {
        NoOutput nowhere;
        PrepareForBook(source, info, nowhere);
    } catch (const PictureError&) {
    }
    return 0;
}
