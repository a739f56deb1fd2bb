#include "pictures/screen_pages.h"

#include "pictures/baseline_jpeg.h"
#include "pictures/orientation.h"
#include "pictures/page_decoding.h"
#include "pictures/page_steps.h"
#include "pictures/picture_error.h"
#include "pictures/screen_page_pixels.h"

#include <cmath>

namespace {

// `size` fitted inside `screen` keeping its shape; as it is when it fits already, unless enlarged.
QSize Fitted(QSize size, QSize screen, bool enlarge)
{
    if (!enlarge && size.width() <= screen.width() && size.height() <= screen.height()) {
        return size;
    }
    return size.scaled(screen, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

void RefuseTooLarge(const PictureInfo& info)
{
    if (static_cast<long long>(info.size.width()) * info.size.height() <= kMaxPagePicturePixels) {
        return;
    }
    const QString reason =
        QStringLiteral("the picture is too large to make pages of: %1 x %2 pixels, more than %3 million");
    throw PictureError(reason.arg(info.size.width()).arg(info.size.height()).arg(kMaxPagePicturePixels / 1'000'000));
}

std::vector<PlannedPage> PagesOf(QSize shown, const PageOptions& options)
{
    const bool doublePage = shown.width() > shown.height() && options.screen.height() > options.screen.width();
    if (!doublePage || options.doublePages == DoublePages::Keep) {
        return {{PagePart::Whole, false, {}}};
    }
    if (options.doublePages == DoublePages::Turn) {
        return {{PagePart::Whole, true, {}}};
    }
    const bool leftFirst = options.direction == ReadingDirection::LeftToRight;
    const PlannedPage first{leftFirst ? PagePart::LeftHalf : PagePart::RightHalf, false, {}};
    const PlannedPage second{leftFirst ? PagePart::RightHalf : PagePart::LeftHalf, false, {}};
    if (options.doublePages == DoublePages::Split) {
        return {first, second};
    }
    return {first, second, {PagePart::Whole, false, {}}};
}

// What a page shows of a picture of `size`, in pixels, turned as the page is.
QSize PageExtent(QSize size, const PlannedPage& page)
{
    const QSize part = PartRegion(size, page.part).size();
    return page.turned ? part.transposed() : part;
}

// The least size (upright) the picture must be decoded at so that each page is made from at least as many pixels
// as it has, or from all the picture has for it: trimmed pages, whose size is not known before, as though the
// largest trim were taken from every edge.
QSize LeastDecodedSize(QSize shown, const PageOptions& options, const std::vector<PlannedPage>& pages)
{
    QSize least(1, 1);
    for (const PlannedPage& page : pages) {
        const QSize extent = PageExtent(shown, page);
        QSize need = page.size.value_or(Fitted(extent, options.screen, options.enlarge));
        if (!page.size) {
            const double untrimmed = 1 - 2 * kMaxTrimShare;
            need = QSize(static_cast<int>(std::ceil(need.width() / untrimmed)),
                         static_cast<int>(std::ceil(need.height() / untrimmed)));
        }
        need = need.boundedTo(extent);
        if (page.turned) {
            need.transpose();
        }
        if (page.part != PagePart::Whole) {
            need.rwidth() *= 2;
        }
        least = least.expandedTo(need);
    }
    return least.boundedTo(shown);
}

// `region` of a page that shows `extent` pixels of the picture at its full size, `decoded` of them as decoded, in
// full-size pixels.
QSize FullSizeOf(QSize region, QSize decoded, QSize extent)
{
    const auto scale = [](int length, int decodedLength, int fullLength) {
        return static_cast<int>((static_cast<long long>(length) * fullLength + decodedLength / 2) / decodedLength);
    };
    return QSize(scale(region.width(), decoded.width(), extent.width()),
                 scale(region.height(), decoded.height(), extent.height()))
        .expandedTo(QSize(1, 1));
}

PixelBuffer MakePage(const PixelBuffer& decoded, QSize shown, const PlannedPage& page, const PageOptions& options)
{
    const PixelBuffer* pixels = &decoded;
    QRect region = PartRegion(QSize(decoded.width, decoded.height), page.part);
    PixelBuffer turned;
    if (page.turned) {
        // As EXIF numbers them: 6 turns a quarter clockwise, 8 a quarter anticlockwise.
        turned = TurnUpright(decoded, options.direction == ReadingDirection::LeftToRight ? 6 : 8);
        pixels = &turned;
        region = QRect(0, 0, turned.width, turned.height);
    }
    const QSize untrimmed = region.size();
    if (options.trim) {
        region = TrimmedRegion(*pixels, region);
    }
    PixelBuffer grey;
    if (options.grey && pixels->channels == 3) {
        grey = GreyOf(*pixels, region);
        pixels = &grey;
        region = QRect(0, 0, grey.width, grey.height);
    }
    const QSize size = page.size.value_or(
        Fitted(FullSizeOf(region.size(), untrimmed, PageExtent(shown, page)), options.screen, options.enlarge));
    return Resized(*pixels, region, size);
}

// The profile when it describes pictures of `channels` channels (an RGB profile for an RGB page); otherwise
// nothing, as for a CMYK picture's profile on its page made RGB, or a colour profile on a grey page.
QByteArray ProfileFor(const QByteArray& profile, int channels)
{
    constexpr qsizetype kColourSpaceAt = 16;
    return profile.mid(kColourSpaceAt, 4) == (channels == 1 ? "GRAY" : "RGB ") ? profile : QByteArray();
}

}  // namespace

PageOptions PageOptionsFor(const TargetScreen& screen)
{
    PageOptions options;
    options.screen = screen.size;
    options.grey = screen.grey;
    return options;
}

PagePlan PlanPages(const PictureInfo& info, const PageOptions& options)
{
    const QSize shown = info.DisplayedSize();
    if (options.screen.isEmpty()) {
        return {true, {{PagePart::Whole, false, shown}}};
    }
    RefuseTooLarge(info);
    PagePlan plan{false, PagesOf(shown, options)};
    if (!options.trim) {
        for (PlannedPage& page : plan.pages) {
            page.size = Fitted(PageExtent(shown, page), options.screen, options.enlarge);
        }
    }
    plan.unchanged = plan.pages.size() == 1 && !plan.pages[0].turned && !options.trim && !options.grey
                     && plan.pages[0].size == shown;
    return plan;
}

void MakePagePixels(const PictureSource& source, const PictureInfo& info, const PageOptions& options,
                    const std::function<void(const PixelBuffer& page, const QByteArray& iccProfile)>& take)
{
    const PagePlan plan = PlanPages(info, options);
    const QSize shown = info.DisplayedSize();
    const UprightPicture picture =
        DecodeAtLeast(source, info, LeastDecodedSize(shown, options, plan.pages), options.grey);
    for (const PlannedPage& page : plan.pages) {
        const PixelBuffer pixels = MakePage(picture.pixels, shown, page, options);
        take(pixels, ProfileFor(picture.iccProfile, pixels.channels));
    }
}

std::vector<QSize> MakeScreenPages(const PictureSource& source, const PictureInfo& info, const PageOptions& options,
                                   std::span<ByteOutput* const> outputs)
{
    std::vector<QSize> sizes;
    MakePagePixels(source, info, options, [&sizes, outputs](const PixelBuffer& page, const QByteArray& iccProfile) {
        Q_ASSERT(sizes.size() < outputs.size());
        WriteBaselineJpeg(page, kScreenPageJpegQuality, iccProfile, *outputs[sizes.size()]);
        sizes.emplace_back(page.width, page.height);
    });
    return sizes;
}
