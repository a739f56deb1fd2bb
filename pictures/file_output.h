#pragma once

#include "pictures/byte_output.h"

// Writes to the file open as a descriptor, from its present offset; the descriptor stays the caller's.
class FileOutput : public ByteOutput {
public:
    explicit FileOutput(int descriptor) : descriptor_(descriptor) {}

    // Throws PictureError with the system's reason, marked as an error of the output, when the file cannot take
    // the bytes.
    void Write(const void* data, std::size_t length) override;

private:
    int descriptor_;
};
