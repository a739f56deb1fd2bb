#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Where the bytes of an archive go. Write stores up to `size` bytes at the current position and returns how many
// it stored; fewer than asked means the medium is full or failing.
class ByteSink {
public:
    virtual ~ByteSink() = default;

    virtual qint64 Write(const char* data, qint64 size) = 0;
    // Moves the write position; false when the medium cannot.
    virtual bool Seek(qint64 position) = 0;
    virtual qint64 Position() const = 0;
};

// A sink over an open file descriptor, which the caller keeps owning.
class FileSink final : public ByteSink {
public:
    explicit FileSink(int descriptor);

    qint64 Write(const char* data, qint64 size) override;
    bool Seek(qint64 position) override;
    qint64 Position() const override;

private:
    int descriptor_;
    qint64 position_ = 0;
};

// The archive as the record writers see it: output collected in a buffer of 8192 bytes, passed to a sink that
// can be repositioned. A sink that stores fewer bytes than asked raises ENotEnoughRoom.
class ArchiveOutput {
public:
    explicit ArchiveOutput(ByteSink& sink);

    void Write(const char* data, qint64 size);
    void Write(const QByteArray& bytes);
    // Passes the buffered bytes to the sink.
    void Flush();
    // Flushes, then moves to `position`; raises the seek error when the sink cannot move there.
    void Seek(qint64 position);
    qint64 Position() const;

private:
    static constexpr qint64 kBufferSize = 8192;

    void Store(const char* data, qint64 size);

    ByteSink& sink_;
    std::array<char, kBufferSize> buffer_{};
    qint64 used_ = 0;
};
