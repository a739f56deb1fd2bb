#pragma once

#include <QByteArray>

#include <optional>

// The orientation entry of an EXIF block. An EXIF block is a small TIFF structure ("II*\0" or "MM\0*",
// then its first directory); the orientation is the entry of tag 0x0112 in that first directory.
struct ExifOrientationEntry {
    int value = 1;          // as stored, which may lie outside 1-8
    qsizetype valueAt = 0;  // where its two bytes lie in the block
    bool bigEndian = false;
};

// The orientation entry of the EXIF block `tiff`, or none when the block has none or is damaged.
std::optional<ExifOrientationEntry> FindExifOrientation(const QByteArray& tiff);

// Writes orientation 1 into the EXIF block, whose entry was found at `entry`.
void SetUpright(QByteArray& tiff, const ExifOrientationEntry& entry);

// JPEG pictures carry their EXIF block in an APP1 segment whose data begins with these six bytes.
inline constexpr char kJpegExifSignature[] = "Exif\0";  // with the string's own NUL: 6 bytes
inline constexpr qsizetype kJpegExifSignatureLength = 6;
