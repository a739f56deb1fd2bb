#include "comics/pdf_pixels.h"

#include "comics/pdf_stream_data.h"
#include "pictures/picture_error.h"

#include <algorithm>
#include <cstring>

namespace {

qint64 StoredRowBytes(const PdfPagePicture& picture)
{
    const PdfColours& colours = picture.colours;
    return (qint64(picture.size.width()) * colours.components * colours.bitsPerSample + 7) / 8;
}

[[noreturn]] void Refuse(const char* reason)
{
    throw PictureError(QString::fromLatin1(reason));
}

// The sample numbered `index` of a row of samples of `bits` bits each, as stored: for 16 bits, its high byte.
unsigned SampleAt(const std::uint8_t* row, qint64 index, int bits)
{
    switch (bits) {
    case 8:
        return row[index];
    case 16:
        return row[2 * index];
    default: {
        const qint64 bit = index * bits;
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        return (row[bit / 8] >> shift) & ((1U << bits) - 1);
    }
    }
}

// A sample of fewer than 8 bits stretched over 0 to 255; 8 and 16 bits samples already are.
std::uint8_t EightBits(unsigned sample, int bits)
{
    return static_cast<std::uint8_t>(bits >= 8 ? sample : sample * 255 / ((1U << bits) - 1));
}

void DecodeRow(const std::uint8_t* stored, const PdfColours& colours, int width, std::uint8_t* out)
{
    const int bits = colours.bitsPerSample;
    if (!colours.palette.isEmpty()) {
        const auto* palette = reinterpret_cast<const std::uint8_t*>(colours.palette.constData());
        const auto entries = static_cast<unsigned>(colours.palette.size() / colours.channels);
        for (int x = 0; x < width; ++x) {
            // An index past the palette's end shows its last colour.
            const unsigned entry = std::min(SampleAt(stored, x, bits), entries - 1);
            std::memcpy(out + x * colours.channels, palette + entry * static_cast<unsigned>(colours.channels),
                        static_cast<std::size_t>(colours.channels));
        }
        return;
    }
    const qint64 samples = qint64(width) * colours.components;
    if (bits == 8 && !colours.inverted) {
        std::memcpy(out, stored, static_cast<std::size_t>(samples));
        return;
    }
    for (qint64 i = 0; i < samples; ++i) {
        const std::uint8_t value = EightBits(SampleAt(stored, i, bits), bits);
        out[i] = colours.inverted ? static_cast<std::uint8_t>(255 - value) : value;
    }
}

}  // namespace

qint64 PdfPixelBytes(const PdfPagePicture& picture)
{
    const qint64 decoded = qint64(picture.size.width()) * picture.size.height() * picture.colours.channels;
    return std::max(StoredRowBytes(picture) * picture.size.height(), decoded);
}

PixelBuffer DecodePdfPixels(const PdfPagePicture& picture, qint64 limitBytes)
{
    const int width = picture.size.width();
    const int height = picture.size.height();
    if (qint64(width) * height > kMaxWholePixels || PdfPixelBytes(picture) > limitBytes) {
        Refuse(picture_reason::kTooLarge);
    }
    const qint64 rowBytes = StoredRowBytes(picture);
    // Data past the last row is left unread.
    const StreamData data = ReadStreamData(picture.image, qpdf_dl_specialized, rowBytes * height);
    if (!data.whole && !data.more) {
        Refuse(picture_reason::kDamaged);
    }
    if (data.bytes.size() < rowBytes * height) {
        Refuse(picture_reason::kCutShort);
    }
    PixelBuffer pixels(width, height, picture.colours.channels);
    const auto* stored = reinterpret_cast<const std::uint8_t*>(data.bytes.constData());
    for (int y = 0; y < height; ++y) {
        DecodeRow(stored + rowBytes * y, picture.colours, width, pixels.Row(y));
    }
    return pixels;
}
