#pragma once

#include <cstddef>

// Where the picture a book holds is written, a block of bytes at a time: a file, or anything else that takes
// bytes in order.
class ByteOutput {
public:
    virtual ~ByteOutput() = default;

    // Takes all `length` bytes or throws. A PictureError marked as an error of the output (a full disk) stops a
    // conversion whatever picture comes next; any error reaches the writer's caller as it was thrown.
    virtual void Write(const void* data, std::size_t length) = 0;
};
