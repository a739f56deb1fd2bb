#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>

// The bytes of a picture, read at given places: from an open file with positioned reads (the file's own
// offset is left alone, so a caller may read or copy the same descriptor before or after), or from memory.
// The first kHeadBytes are read once, on the first request, since every kind of picture says what it is
// there; every other request is one read of its own.
class PictureSource {
public:
    static constexpr std::size_t kHeadBytes = 64 * 1024;

    // The file open as `descriptor`, of `size` bytes; the descriptor stays the caller's.
    PictureSource(int descriptor, qint64 size);
    explicit PictureSource(QByteArray bytes);

    qint64 Size() const { return size_; }

    // Reads `length` bytes at `offset` into `out`, fewer where the file ends first; returns how many.
    // Throws PictureError when the system cannot read the file.
    std::size_t ReadAt(qint64 offset, void* out, std::size_t length) const;

    // The bytes at `offset`, at most `length` of them.
    QByteArray BytesAt(qint64 offset, qint64 length) const;

    // The whole content (for decoders that take a picture in one piece).
    QByteArray All() const;

    // The first kHeadBytes bytes (the whole file when shorter; all of it when held in memory).
    const QByteArray& Head() const;

private:
    int descriptor_ = -1;
    qint64 size_ = 0;
    QByteArray bytes_;         // the whole content when read from memory
    mutable QByteArray head_;  // read once
    mutable bool headRead_ = false;
};
