#pragma once

#include "common/reading_direction.h"
#include "pictures/byte_output.h"
#include "pictures/picture_info.h"
#include "pictures/picture_source.h"
#include "pictures/target_screens.h"

#include <QSize>

#include <optional>
#include <span>
#include <vector>

// The pages a book holds for one picture when its pages are made for a reader's screen. The steps, each
// applied only when chosen, in this order: a double page (a landscape picture on an upright screen) is split
// into its halves or turned a quarter; uniform white or black margins are trimmed; the page is made grey;
// it is fitted inside the screen keeping its shape; it is encoded as a baseline JPEG picture. For a picture that
// none of the steps changes, the book holds what PrepareForBook makes (its bytes as they are for a
// JPEG, PNG or GIF picture that stands upright).
//
// Nothing here is shared between calls: pages of several pictures may be made at once on several threads.

// What becomes of a landscape picture on an upright screen.
enum class DoublePages {
    Keep,   // one page, as it is
    Split,  // its two halves, in reading order
    Turn,   // one page turned a quarter, so that it fills the screen
    Both,   // its two halves in reading order, then the whole page as it is
};

struct PageOptions {
    // The screen the pages are fitted to; empty for the original pictures, which no step changes.
    QSize screen;
    // Whether a picture smaller than the screen is enlarged to fill it.
    bool enlarge = false;
    // Whether pages are made grey (one channel).
    bool grey = false;
    DoublePages doublePages = DoublePages::Keep;
    bool trim = false;
    // Which half of a split page comes first, and which way a page is turned: the half read first comes on top.
    ReadingDirection direction = ReadingDirection::LeftToRight;
};

// The options for `screen`: its size, grey when the screen shows grey only; every other step off.
PageOptions PageOptionsFor(const TargetScreen& screen);

// The quality of the JPEG pictures made for a screen: the low end of what page converters use, which keeps a
// book of photos small enough to mail without marks that show on a reader's screen. Colour pages have their
// colour at half resolution each way (4:2:0), as cameras store it.
inline constexpr int kScreenPageJpegQuality = 85;

// The largest picture, in pixels, that pages are made from: 2^27, 134 million pixels (16384 x 8192). What a
// picture takes while its pages are made: a single-scan JPEG picture is scaled down by its decoder and a PNG or
// GIF picture averaged down as its rows arrive, to a few times the screen's size; a multi-scan JPEG picture makes
// the decoder keep its coefficients (about 3 bytes a pixel); pictures of the kinds converted (HEIF, AVIF, WebP,
// TIFF, BMP) are held whole, about 4 bytes a pixel. Either is refused beforehand when it would pass
// kMaxPictureWorkBytes.
inline constexpr long long kMaxPagePicturePixels = 1LL << 27;

// Which part of the picture a page shows.
enum class PagePart { Whole, LeftHalf, RightHalf };

struct PlannedPage {
    PagePart part = PagePart::Whole;
    // Whether the page is turned a quarter: clockwise when the book reads left to right (the left half comes on
    // top), anticlockwise when it reads right to left.
    bool turned = false;
    // The page's size in pixels; nothing when trimming decides it, which needs the picture's pixels.
    std::optional<QSize> size;
};

struct PagePlan {
    // Whether no step changes the picture: the book holds it as PrepareForBook makes it, and `pages` is its one
    // page of its upright size.
    bool unchanged = false;
    std::vector<PlannedPage> pages;
};

// The pages of a picture that InspectPicture described as `info`, from that description alone. Throws
// PictureError, saying so, when a screen is chosen and the picture has more than kMaxPagePicturePixels.
PagePlan PlanPages(const PictureInfo& info, const PageOptions& options);

// Makes the pages that PlanPages gives for the picture in `source` and writes page i as a baseline JPEG picture
// to outputs[i] (a page whose output is null is made but not encoded); returns the size of each page in pixels. A grey
// page is a one-channel JPEG picture; a colour page keeps the picture's ICC colour profile. The picture is decoded
// once, reduced as it is decoded where its kind allows (see kMaxPagePicturePixels), and refused before decoding when it
// is too large. A picture that PlanPages leaves unchanged is encoded again all the same: to keep its bytes, use
// PrepareForBook instead.
//
// Throws PictureError (JpegError for a JPEG picture the decoder rejects); errors of the outputs pass through.
std::vector<QSize> MakeScreenPages(const PictureSource& source, const PictureInfo& info, const PageOptions& options,
                                   std::span<ByteOutput* const> outputs);
