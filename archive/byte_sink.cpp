#include "archive/byte_sink.h"

#include "archive/zip_errors.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

int ByteSink::ErrorNumber() const
{
    return ENOSPC;
}

FileSink::FileSink(int descriptor) : descriptor_(descriptor)
{
    const off_t start = ::lseek(descriptor_, 0, SEEK_CUR);
    position_ = start < 0 ? 0 : start;
}

qint64 FileSink::Write(const char* data, qint64 size)
{
    qint64 stored = 0;
    while (stored < size) {
        const ssize_t written = ::write(descriptor_, data + stored, static_cast<size_t>(size - stored));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that stores nothing and reports nothing has met the end of the room.
            errorNumber_ = written < 0 ? errno : ENOSPC;
            break;
        }
        stored += written;
    }
    position_ += stored;
    return stored;
}

int FileSink::ErrorNumber() const
{
    return errorNumber_;
}

bool FileSink::Seek(qint64 position)
{
    if (::lseek(descriptor_, position, SEEK_SET) != position) {
        return false;
    }
    position_ = position;
    return true;
}

qint64 FileSink::Position() const
{
    return position_;
}

ArchiveOutput::ArchiveOutput(ByteSink& sink) : sink_(sink), bufferStart_(sink.Position()) {}

void ArchiveOutput::Write(const char* data, qint64 size)
{
    if (cursor_ + size > kBufferSize) {
        Flush();
        // A block at least as large as the buffer would only be copied through it in pieces.
        if (size >= kBufferSize) {
            Store(data, size);
            bufferStart_ += size;
            return;
        }
    }
    std::memcpy(buffer_.data() + cursor_, data, static_cast<size_t>(size));
    cursor_ += size;
    used_ = std::max(used_, cursor_);
}

void ArchiveOutput::Write(const QByteArray& bytes)
{
    Write(bytes.constData(), bytes.size());
}

void ArchiveOutput::Flush()
{
    const qint64 used = std::exchange(used_, 0);
    const qint64 position = bufferStart_ + std::exchange(cursor_, 0);
    Store(buffer_.data(), used);
    // The sink now stands after the buffered bytes; the write position may lie before that.
    if (position != bufferStart_ + used && !sink_.Seek(position)) {
        throw ZipError(kSeekErrorText);
    }
    bufferStart_ = position;
}

void ArchiveOutput::Seek(qint64 position)
{
    if (Holds(position)) {
        cursor_ = position - bufferStart_;
        return;
    }
    Flush();
    if (!sink_.Seek(position)) {
        throw ZipError(kSeekErrorText);
    }
    bufferStart_ = position;
}

qint64 ArchiveOutput::Position() const
{
    return bufferStart_ + cursor_;
}

bool ArchiveOutput::Holds(qint64 position) const
{
    return position >= bufferStart_ && position <= bufferStart_ + used_ && used_ > 0;
}

void ArchiveOutput::Store(const char* data, qint64 size)
{
    if (size > 0 && sink_.Write(data, size) != size) {
        ThrowWriteError(sink_.ErrorNumber());
    }
}
