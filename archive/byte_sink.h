#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// Where the bytes of an archive go. Write stores up to `size` bytes at the current position and returns how many
// it stored; fewer than asked means the medium is full or failing, and ErrorNumber says which.
class ByteSink {
public:
    virtual ~ByteSink() = default;

    virtual qint64 Write(const char* data, qint64 size) = 0;
    // Why the last Write stored fewer bytes than asked, as the system's error number: a full medium unless the
    // sink knows better.
    virtual int ErrorNumber() const;
    // Moves the write position; false when the medium cannot.
    virtual bool Seek(qint64 position) = 0;
    virtual qint64 Position() const = 0;
};

// A sink over an open file descriptor, which the caller keeps owning.
class FileSink final : public ByteSink {
public:
    explicit FileSink(int descriptor);

    qint64 Write(const char* data, qint64 size) override;
    int ErrorNumber() const override;
    bool Seek(qint64 position) override;
    qint64 Position() const override;

private:
    int descriptor_;
    qint64 position_ = 0;
    int errorNumber_ = 0;
};

// The archive as the record writers see it: output collected in a buffer of 8192 bytes, passed to a sink that
// can be repositioned. Moving back to a place still in the buffer, as the rewrite of a small entry's local
// header does, costs the sink nothing. A sink that stores fewer bytes than asked raises what its ErrorNumber
// means (ThrowWriteError): ENotEnoughRoom for a full disk; one that cannot move raises the seek error.
class ArchiveOutput {
public:
    explicit ArchiveOutput(ByteSink& sink);

    void Write(const char* data, qint64 size);
    void Write(const QByteArray& bytes);
    // Passes the buffered bytes to the sink.
    void Flush();
    void Seek(qint64 position);
    qint64 Position() const;
    // True when the byte at `position` is still in the buffer, so going back there needs no seek.
    bool Holds(qint64 position) const;

private:
    static constexpr qint64 kBufferSize = 8192;

    void Store(const char* data, qint64 size);

    ByteSink& sink_;
    std::array<char, kBufferSize> buffer_{};
    // Where the buffer's first byte goes in the sink; the sink stands there whenever the buffer is not empty.
    qint64 bufferStart_;
    // The write position within the buffer, and how far the buffer is filled.
    qint64 cursor_ = 0;
    qint64 used_ = 0;
};
