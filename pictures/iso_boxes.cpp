#include "pictures/picture_formats.h"

#include <array>

bool TopLevelBoxesWhole(const PictureSource& source)
{
    // Each box begins with its size (4 bytes, big-endian) and type; a size of 1 puts the real size in 8
    // more bytes, a size of 0 lets the box run to the end of the file.
    qint64 at = 0;
    while (at < source.Size()) {
        std::array<unsigned char, 16> header{};
        const std::size_t got = source.ReadAt(at, header.data(), header.size());
        if (got < 8) {
            return false;
        }
        quint64 size = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            size = size << 8 | header[i];
        }
        if (size == 0) {
            return true;
        }
        if (size == 1) {
            if (got < 16) {
                return false;
            }
            size = 0;
            for (std::size_t i = 8; i < 16; ++i) {
                size = size << 8 | header[i];
            }
        }
        if (size < 8 || size > static_cast<quint64>(source.Size() - at)) {
            return false;
        }
        at += static_cast<qint64>(size);
    }
    return true;
}
