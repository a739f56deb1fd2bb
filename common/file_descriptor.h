#pragma once

// An open file descriptor that is closed when its holder goes away.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor);
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool IsOpen() const;
    int Get() const;
    // Closes now and reports whether the kernel accepted the close; a descriptor already closed counts as accepted.
    bool Close();

private:
    int descriptor_ = -1;
};
