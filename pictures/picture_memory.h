#pragma once

#include <QtGlobal>

// The most memory the work on one picture may take: decoding it for the preview, checking it, turning it or
// converting it for a book. Up to two pictures are worked on at once, and the whole program stays within
// 512 MiB whatever the pictures. Work that can be split is done in bands well within it; a picture whose work
// cannot be split, or would take more than this even in bands, is refused before it is decoded.
inline constexpr qint64 kMaxPictureWorkBytes = 256LL * 1024 * 1024;

// What a picture is refused for when the work on it would take `bytes`, more than kMaxPictureWorkBytes: "the
// picture is too large: <doing> it would take 750 MiB, more than the 256 MiB a picture may take". `doing`
// names the work: "reading", "turning", "converting".
void RefuseBeyondMemoryLimit(qint64 bytes, const char* doing);
