#pragma once

#include <QtGlobal>

#include <vector>

// The pages of one volume of a book kept under a size: pages `first` to `end` (not included), counted from 0.
struct VolumeOfPages {
    qsizetype first = 0;
    qsizetype end = 0;
};

// What every page adds to a book besides its picture, at most: its page document and its lines in the package and
// navigation documents, deflated, with their records in the archive.
inline constexpr qint64 kBytesOfAPageBesidesItsPicture = 2048;
// What every book holds besides its pages, at most: the files it begins with, the rest of its documents, the
// archive's own records.
inline constexpr qint64 kBytesOfABookBesidesItsPages = 64 * 1024;

// Parts pages of `pageBytes` bytes each (in order) into as few volumes as keep each at most `limit` bytes when every
// volume also holds `bytesOfEveryVolume` (its cover, what every book holds), filling each volume in turn. Nothing
// when a page cannot fit in a volume of its own; one volume when they all fit in one.
std::vector<VolumeOfPages> PlanVolumes(const std::vector<qint64>& pageBytes, qint64 bytesOfEveryVolume, qint64 limit);
