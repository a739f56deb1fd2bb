#include "archive/byte_sink.h"

#include "archive/zip_errors.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

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
            break;
        }
        stored += written;
    }
    position_ += stored;
    return stored;
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

ArchiveOutput::ArchiveOutput(ByteSink& sink) : sink_(sink)
{
}

void ArchiveOutput::Write(const char* data, qint64 size)
{
    if (used_ + size > kBufferSize) {
        Flush();
        // A block at least as large as the buffer would only be copied through it in pieces.
        if (size >= kBufferSize) {
            Store(data, size);
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, data, static_cast<size_t>(size));
    used_ += size;
}

void ArchiveOutput::Write(const QByteArray& bytes)
{
    Write(bytes.constData(), bytes.size());
}

void ArchiveOutput::Flush()
{
    if (used_ > 0) {
        const qint64 size = used_;
        used_ = 0;
        Store(buffer_.data(), size);
    }
}

void ArchiveOutput::Seek(qint64 position)
{
    Flush();
    if (!sink_.Seek(position)) {
        throw ZipError(kSeekErrorText);
    }
}

qint64 ArchiveOutput::Position() const
{
    return sink_.Position() + used_;
}

void ArchiveOutput::Store(const char* data, qint64 size)
{
    if (sink_.Write(data, size) != size) {
        throw ENotEnoughRoom();
    }
}
