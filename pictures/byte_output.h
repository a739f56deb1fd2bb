#pragma once

#include <cstddef>

// Where encoded bytes go, in order: a file, a member of an archive, memory. Write takes all `length` bytes
// or throws PictureError, marked as an error of the output.
class ByteOutput {
public:
    virtual ~ByteOutput() = default;
    virtual void Write(const void* data, std::size_t length) = 0;
};
