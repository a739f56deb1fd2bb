#pragma once

#include "tests/pages/test_jpegs.h"

#include <QImage>
#include <QRgb>
#include <QSize>

#include <gtest/gtest.h>

// Whether a pixel of an image is within `tolerance` of a colour in each of R, G and B.
::testing::AssertionResult PixelNear(const QImage& image, int x, int y, QRgb expected, int tolerance = 8);

// Whether an image of the quadrant pictures of MakeTestJpeg shows each quadrant's colour
// at the quadrant's centre.
::testing::AssertionResult ShowsQuadrants(const QImage& image, TestColour colour = TestColour::Rgb);

// Resident memory of this process, in bytes, from /proc/self/status.
long long ResidentBytes();
long long PeakResidentBytes();
// Makes the peak start again from the present resident memory; false where the system
// does not allow it.
bool ResetPeakResident();

// Whether the process runs under AddressSanitizer or ThreadSanitizer, whose shadow memory (and the former's
// quarantine) make resident memory useless as a measure.
constexpr bool kUnderSanitizer =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif
