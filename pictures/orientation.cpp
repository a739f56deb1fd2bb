#include "pictures/orientation.h"

#include <cstring>

namespace {

// Where the pixel shown at (x, y) of the upright picture lies in the stored one, which is w x h.
struct StoredPlace {
    int x;
    int y;
};

StoredPlace PlaceFor(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {y, h - 1 - x};
    case 7:
        return {w - 1 - y, h - 1 - x};
    case 8:
        return {w - 1 - y, x};
    default:
        return {x, y};
    }
}

}  // namespace

PixelBuffer TurnUpright(const PixelBuffer& stored, int orientation)
{
    if (orientation < 2 || orientation > 8) {
        return stored;
    }
    const bool transposed = orientation >= 5;
    PixelBuffer upright(transposed ? stored.height : stored.width, transposed ? stored.width : stored.height,
                        stored.channels);
    const auto pixelBytes = static_cast<std::size_t>(stored.channels);
    for (int y = 0; y < upright.height; ++y) {
        std::uint8_t* out = upright.Row(y);
        for (int x = 0; x < upright.width; ++x, out += pixelBytes) {
            const StoredPlace from = PlaceFor(orientation, x, y, stored.width, stored.height);
            std::memcpy(out, stored.Row(from.y) + static_cast<std::size_t>(from.x) * pixelBytes, pixelBytes);
        }
    }
    return upright;
}

int ValidOrientation(long value)
{
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}
