#include "archive/byte_source.h"

#include "archive/zip_errors.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Fills `size` bytes with repeated reads: a read may return less than asked before the end, and only
// a read of nothing ends the data; a failure other than an interruption raises EFReadError naming `path`.
// `readAt(offset, count)` reads up to `count` bytes into the buffer at `offset`.
template <typename ReadAt>
qint64 ReadFully(qint64 size, const QString& path, ReadAt readAt)
{
    qint64 filled = 0;
    while (filled < size) {
        const ssize_t got = readAt(filled, static_cast<size_t>(size - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw EFReadError(QStringLiteral("read file"), path, errno);
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    return filled;
}

}  // namespace

FileReader::FileReader(int descriptor, qint64 size, QString path)
    : descriptor_(descriptor),
      size_(size),
      path_(std::move(path))
{}

qint64 FileReader::Read(char* data, qint64 size)
{
    return ReadFully(size, path_,
                     [&](qint64 offset, size_t count) { return ::read(descriptor_, data + offset, count); });
}

qint64 FileReader::Size() const
{
    return size_;
}

qint64 FileReader::ReadAt(qint64 position, char* data, qint64 size) const
{
    if (position < 0 || position > size_) {
        return 0;
    }
    size = std::min(size, size_ - position);
    return ReadFully(size, path_, [&](qint64 offset, size_t count) {
        return ::pread(descriptor_, data + offset, count, position + offset);
    });
}

MemorySource::MemorySource(QByteArray bytes) : bytes_(std::move(bytes)) {}

qint64 MemorySource::Read(char* data, qint64 size)
{
    const qint64 got = ReadAt(next_, data, size);
    next_ += got;
    return got;
}

qint64 MemorySource::Size() const
{
    return bytes_.size();
}

qint64 MemorySource::ReadAt(qint64 position, char* data, qint64 size) const
{
    if (position < 0 || position >= bytes_.size() || size <= 0) {
        return 0;
    }
    const qint64 got = std::min(size, bytes_.size() - position);
    std::memcpy(data, bytes_.constData() + position, static_cast<size_t>(got));
    return got;
}
