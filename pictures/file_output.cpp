#include "pictures/file_output.h"

#include "pictures/picture_error.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

void FileOutput::Write(const void* data, std::size_t length)
{
    const auto* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t written = ::write(descriptor_, bytes, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw PictureError(QString::fromLocal8Bit(std::strerror(written == 0 ? ENOSPC : errno)), true);
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}
