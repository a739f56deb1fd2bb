#include "pictures/exif_orientation.h"

namespace {

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShortType = 3;
constexpr qsizetype kEntryBytes = 12;

unsigned Number(const QByteArray& bytes, qsizetype at, int length, bool bigEndian)
{
    unsigned value = 0;
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + (bigEndian ? i : length - 1 - i)]);
        value = value << 8 | byte;
    }
    return value;
}

}  // namespace

std::optional<ExifOrientationEntry> FindExifOrientation(const QByteArray& tiff)
{
    if (tiff.size() < 8 || !(tiff.startsWith(QByteArray("II*\0", 4)) || tiff.startsWith(QByteArray("MM\0*", 4)))) {
        return std::nullopt;
    }
    const bool bigEndian = tiff[0] == 'M';
    const qsizetype directory = Number(tiff, 4, 4, bigEndian);
    if (directory < 8 || directory + 2 > tiff.size()) {
        return std::nullopt;
    }
    const qsizetype entries = Number(tiff, directory, 2, bigEndian);
    for (qsizetype i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + i * kEntryBytes;
        if (entry + kEntryBytes > tiff.size()) {
            return std::nullopt;
        }
        if (Number(tiff, entry, 2, bigEndian) == kOrientationTag) {
            if (Number(tiff, entry + 2, 2, bigEndian) != kShortType || Number(tiff, entry + 4, 4, bigEndian) != 1) {
                return std::nullopt;
            }
            const qsizetype valueAt = entry + 8;
            return ExifOrientationEntry{static_cast<int>(Number(tiff, valueAt, 2, bigEndian)), valueAt, bigEndian};
        }
    }
    return std::nullopt;
}

void SetUpright(QByteArray& tiff, const ExifOrientationEntry& entry)
{
    tiff[entry.valueAt] = entry.bigEndian ? '\0' : '\1';
    tiff[entry.valueAt + 1] = entry.bigEndian ? '\1' : '\0';
}
