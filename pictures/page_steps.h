#pragma once

// The steps that make a page of a picture for a reader's screen, on decoded pixels. Internal to the library:
// its users go through screen_pages.h.

#include "pictures/pixel_buffer.h"
#include "pictures/screen_pages.h"

#include <QRect>
#include <QSize>

// Trimming takes at most a tenth of a side from each edge, so a trimmed page keeps at least four fifths of
// each side and never falls below half the page.
inline constexpr double kMaxTrimShare = 0.1;
// A line of pixels counts as margin while at most this share of its pixels is off the margin's colour: specks
// and a page number in the margin do not stop the trim, a line of text or a drawing does.
inline constexpr double kMarginInkShare = 0.04;
// How far, in each sample, a pixel may lie from white (255) or black (0) and still count as margin.
inline constexpr int kMarginTolerance = 48;
// The lines next to what the trim found inside that touch it (a pixel off the margin's colour) are given back,
// so the faint top of a letter is not cut; at most this share of the side, so that a margin full of dust is
// still trimmed.
inline constexpr double kMaxGiveBackShare = 0.01;

// The part of a picture of `size` pixels that `part` names: the left half has the columns left of the middle,
// the right half the rest.
QRect PartRegion(QSize size, PagePart part);

// `region` of `picture` without its uniform white or black margins, each edge judged on its own, each line on
// its middle (without the outer tenth at either end).
QRect TrimmedRegion(const PixelBuffer& picture, QRect region);

// `region` of `picture` (RGB) in grey, one channel, weighted as JPEG weighs red, green and blue.
PixelBuffer GreyOf(const PixelBuffer& picture, QRect region);

// `region` of `picture` resampled to `size` with stb_image_resize's Catmull-Rom filter, on the samples as
// stored (sRGB, not linear light); copied when it is that size already. Throws PictureError when the memory
// cannot be had.
PixelBuffer Resized(const PixelBuffer& picture, QRect region, QSize size);
