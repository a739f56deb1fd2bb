#pragma once

// The pixels of the pages made for a reader's screen, before they are encoded. Internal to the library: its
// users go through screen_pages.h.

#include "pictures/pixel_buffer.h"
#include "pictures/screen_pages.h"

#include <QByteArray>

#include <functional>

// Makes the pages MakeScreenPages encodes, in order, and hands each to `take` with the colour profile it keeps
// (empty for none) before making the next. Throws as MakeScreenPages does.
void MakePagePixels(const PictureSource& source, const PictureInfo& info, const PageOptions& options,
                    const std::function<void(const PixelBuffer& page, const QByteArray& iccProfile)>& take);
