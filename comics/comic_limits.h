#pragma once

#include <QtGlobal>

// How much of a comic archive or PDF this program reads, whatever the file says of itself: the bounds that keep
// a hostile or damaged file from taking the machine's memory or time.

// The most bytes one picture inside an archive or PDF may have. A file inside an archive that claims more is
// refused from its header, before a byte of it is read; one that grows past it while it is unpacked is stopped
// there. The largest scanned pages people keep are a fraction of it.
inline constexpr qint64 kMaxMemberBytes = qint64(256) << 20;  // 256 MiB

// The most entries (files and folders) of an archive, and the most pages of a PDF.
inline constexpr int kMaxMembers = 50'000;

// The most bytes of an archive's ComicInfo.xml that are read: the longest real one is a few kilobytes.
inline constexpr qint64 kMaxComicInfoBytes = qint64(1) << 20;  // 1 MiB

// The most bytes of one PDF page's drawing instructions: a page that shows one picture needs a few dozen.
inline constexpr qint64 kMaxPageDrawingBytes = 64 * 1024;

// The bounds a reader keeps: the ones above, unless its caller chooses tighter ones.
struct ComicLimits {
    qint64 memberBytes = kMaxMemberBytes;
    int members = kMaxMembers;
};
