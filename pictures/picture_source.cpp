#include "pictures/picture_source.h"

#include "pictures/picture_error.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Reads `length` bytes at `offset`, fewer only where the file ends; throws PictureError when the system
// cannot read it.
std::size_t ReadFully(int descriptor, char* out, std::size_t length, qint64 offset)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(descriptor, out + done, length - done, static_cast<off_t>(offset + static_cast<qint64>(done)));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw PictureError(QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (got == 0) {
            break;  // the file became shorter than it was
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace

PictureSource::PictureSource(int descriptor, qint64 size) : descriptor_(descriptor), size_(size) {}

PictureSource::PictureSource(QByteArray bytes) : size_(bytes.size()), bytes_(std::move(bytes)) {}

std::size_t PictureSource::ReadAt(qint64 offset, void* out, std::size_t length) const
{
    if (offset < 0 || offset >= size_) {
        return 0;
    }
    length = static_cast<std::size_t>(std::min<qint64>(static_cast<qint64>(length), size_ - offset));
    const QByteArray& head = Head();
    if (offset + static_cast<qint64>(length) <= head.size()) {
        std::memcpy(out, head.constData() + offset, length);
        return length;
    }
    return ReadFully(descriptor_, static_cast<char*>(out), length, offset);
}

QByteArray PictureSource::BytesAt(qint64 offset, qint64 length) const
{
    QByteArray bytes(static_cast<qsizetype>(std::clamp<qint64>(size_ - offset, 0, length)), Qt::Uninitialized);
    bytes.resize(static_cast<qsizetype>(ReadAt(offset, bytes.data(), static_cast<std::size_t>(bytes.size()))));
    return bytes;
}

QByteArray PictureSource::All() const
{
    return descriptor_ < 0 ? bytes_ : BytesAt(0, size_);
}

const QByteArray& PictureSource::Head() const
{
    if (descriptor_ < 0) {
        return bytes_;
    }
    if (!headRead_) {
        const auto length = std::min<qint64>(size_, static_cast<qint64>(kHeadBytes));
        head_ = QByteArray(static_cast<qsizetype>(length), Qt::Uninitialized);
        head_.resize(static_cast<qsizetype>(ReadFully(descriptor_, head_.data(), static_cast<std::size_t>(length), 0)));
        headRead_ = true;
    }
    return head_;
}
