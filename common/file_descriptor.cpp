#include "common/file_descriptor.h"

#include <unistd.h>

#include <utility>

FileDescriptor::FileDescriptor(int descriptor) : descriptor_(descriptor) {}

FileDescriptor::~FileDescriptor()
{
    Close();
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

bool FileDescriptor::IsOpen() const
{
    return descriptor_ >= 0;
}

int FileDescriptor::Get() const
{
    return descriptor_;
}

bool FileDescriptor::Close()
{
    if (descriptor_ < 0) {
        return true;
    }
    // Linux releases the descriptor even when close reports an error, so it is never closed twice.
    const int result = ::close(std::exchange(descriptor_, -1));
    return result == 0;
}
