#pragma once

// A picture turned upright row by row, for the encoders of the pictures a book holds. Internal to the library.

#include "pictures/stored_rows.h"

#include <QSize>

#include <cstdint>
#include <functional>

// The rows of a stored picture turned upright as an EXIF orientation asks (1-8), from the top. Orientations 1 and
// 2 keep the stored rows in their order, and each is passed on as it comes (mirrored for 2). The others gather a
// band of the upright picture of at most kMaxBandBytes at a time, reading the stored picture once for each band:
// the memory stays within the band whatever the picture's size, at the cost of reading a picture larger than the
// band more than once.
class UprightRows {
public:
    // The most of the upright picture held at once.
    static constexpr qint64 kMaxBandBytes = 64LL * 1024 * 1024;

    // Refuses, with the memory the work would take, a picture whose reading, with the upright picture held whole
    // where its rows change order, would take more than kMaxPictureWorkBytes: the bands keep that work's memory
    // low, but not its time, which grows with the passes.
    UprightRows(StoredRows& stored, int orientation);

    QSize Size() const { return size_; }
    PixelLayout Layout() const { return stored_.Layout(); }
    // What turning holds: the reading's memory and the band.
    qint64 HeldBytes() const;

    // Gives every upright row, from the top, to `take`.
    void Pass(const std::function<void(const std::uint8_t*)>& take);

private:
    void PassInOrder(const std::function<void(const std::uint8_t*)>& take);
    void PassBand(int top, int rows, const std::function<void(const std::uint8_t*)>& take);

    StoredRows& stored_;
    int orientation_;
    QSize size_;
    int bandRows_ = 0;  // upright rows held at once; 0 when the stored rows are passed on as they come
};
