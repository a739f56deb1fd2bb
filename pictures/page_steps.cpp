#include "pictures/page_steps.h"

#include "pictures/picture_error.h"

#include <cstring>
#include <functional>

#include <stb_image_resize.h>

namespace {

// ---- trimming

enum class Margin { White, Black };

bool NearMargin(const std::uint8_t* pixel, int channels, Margin margin)
{
    for (int c = 0; c < channels; ++c) {
        const int sample = pixel[c];
        if (margin == Margin::White ? sample < 255 - kMarginTolerance : sample > kMarginTolerance) {
            return false;
        }
    }
    return true;
}

// How many of the `length` pixels from `start` onwards, each `step` from the last, are off the margin's colour.
int OffMargin(const PixelBuffer& picture, QPoint start, QPoint step, int length, Margin margin)
{
    const auto channels = static_cast<std::ptrdiff_t>(picture.channels);
    const std::ptrdiff_t stride = step.y() * static_cast<std::ptrdiff_t>(picture.RowBytes()) + step.x() * channels;
    const std::uint8_t* pixel = picture.Row(start.y()) + start.x() * channels;
    int off = 0;
    for (int i = 0; i < length; ++i, pixel += stride) {
        off += NearMargin(pixel, picture.channels, margin) ? 0 : 1;
    }
    return off;
}

// How many lines from one edge inward are margin. The outermost line sets the margin's colour, white or black,
// when nearly all of it is that colour; lines count while nearly all of their pixels are near it, at most
// a tenth of the `side` they are stacked along; then the lines next to what lies inside that touch it are given back.
// `offMargin` counts the pixels off the colour in the line that many lines in from the edge.
int MarginDepth(int lineLength, int side, const std::function<int(int, Margin)>& offMargin)
{
    const auto allowed = static_cast<int>(lineLength * kMarginInkShare);
    const auto most = static_cast<int>(side * kMaxTrimShare);
    Margin margin = Margin::White;
    if (offMargin(0, Margin::White) > allowed) {
        margin = Margin::Black;
        if (offMargin(0, Margin::Black) > allowed) {
            return 0;
        }
    }
    int depth = 0;
    while (depth < most && offMargin(depth, margin) <= allowed) {
        ++depth;
    }
    const int leastDepth = depth - static_cast<int>(side * kMaxGiveBackShare);
    while (depth > 0 && depth > leastDepth && offMargin(depth - 1, margin) > 0) {
        --depth;
    }
    return depth;
}

// ---- grey and resampling

// JPEG's weights of red, green and blue in grey, in 1/65536.
constexpr int kRedWeight = 19595;
constexpr int kGreenWeight = 38470;
constexpr int kBlueWeight = 7471;

const std::uint8_t* RegionStart(const PixelBuffer& picture, QRect region)
{
    return picture.Row(region.y()) + static_cast<std::size_t>(region.x()) * static_cast<std::size_t>(picture.channels);
}

}  // namespace

QRect PartRegion(QSize size, PagePart part)
{
    const int left = size.width() / 2;
    switch (part) {
    case PagePart::Whole:
        break;
    case PagePart::LeftHalf:
        return QRect(0, 0, left, size.height());
    case PagePart::RightHalf:
        return QRect(left, 0, size.width() - left, size.height());
    }
    return QRect(QPoint(0, 0), size);
}

QRect TrimmedRegion(const PixelBuffer& picture, QRect region)
{
    // Each line is judged on its middle: the outer tenth at either end may be another edge's margin, of the other
    // colour, or hold a page number in its corner.
    const int width = region.width();
    const int height = region.height();
    const auto inset = [](int side) { return static_cast<int>(side * kMaxTrimShare); };
    const int rowLength = width - 2 * inset(width);
    const int columnLength = height - 2 * inset(height);
    const int rowsFrom = region.left() + inset(width);
    const int columnsFrom = region.top() + inset(height);
    const int top = MarginDepth(rowLength, height, [&](int line, Margin margin) {
        return OffMargin(picture, {rowsFrom, region.top() + line}, {1, 0}, rowLength, margin);
    });
    const int bottom = MarginDepth(rowLength, height, [&](int line, Margin margin) {
        return OffMargin(picture, {rowsFrom, region.bottom() - line}, {1, 0}, rowLength, margin);
    });
    const int left = MarginDepth(columnLength, width, [&](int line, Margin margin) {
        return OffMargin(picture, {region.left() + line, columnsFrom}, {0, 1}, columnLength, margin);
    });
    const int right = MarginDepth(columnLength, width, [&](int line, Margin margin) {
        return OffMargin(picture, {region.right() - line, columnsFrom}, {0, 1}, columnLength, margin);
    });
    return region.adjusted(left, top, -right, -bottom);
}

PixelBuffer GreyOf(const PixelBuffer& picture, QRect region)
{
    Q_ASSERT(picture.channels == 3);
    PixelBuffer grey(region.width(), region.height(), 1);
    for (int y = 0; y < grey.height; ++y) {
        const std::uint8_t* in = RegionStart(picture, region.translated(0, y));
        std::uint8_t* out = grey.Row(y);
        for (int x = 0; x < grey.width; ++x, in += 3) {
            out[x] = static_cast<std::uint8_t>((kRedWeight * in[0] + kGreenWeight * in[1] + kBlueWeight * in[2] + 32768)
                                               >> 16);
        }
    }
    return grey;
}

PixelBuffer Resized(const PixelBuffer& picture, QRect region, QSize size)
{
    PixelBuffer resized(size.width(), size.height(), picture.channels);
    if (region.size() == size) {
        for (int y = 0; y < size.height(); ++y) {
            std::memcpy(resized.Row(y), RegionStart(picture, region.translated(0, y)), resized.RowBytes());
        }
        return resized;
    }
    // Samples are resampled as stored, not turned into linear light first: ImageMagick and libvips do the same
    // by default, and thin dark lines of text keep their weight.
    if (stbir_resize_uint8_generic(RegionStart(picture, region), region.width(), region.height(),
                                   static_cast<int>(picture.RowBytes()), resized.bytes.data(), size.width(),
                                   size.height(), 0, picture.channels, STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP,
                                   STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr)
        == 0) {
        throw PictureError(QString::fromLatin1(picture_reason::kTooLarge));
    }
    return resized;
}
