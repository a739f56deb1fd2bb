#pragma once

#include <cstddef>

// Writes all `length` bytes to the file open as `descriptor`. Throws PictureError with the system's reason,
// marked as an error of the output, when the file cannot take them.
void WriteAll(int descriptor, const void* data, std::size_t length);
