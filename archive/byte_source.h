#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A source read once from its current position to its end. Read fills up to `size` bytes and returns how many it
// filled; fewer than asked means the end of the data. A failure to read is raised, never taken for the end.
class ByteReader {
public:
    virtual ~ByteReader() = default;

    virtual qint64 Read(char* data, qint64 size) = 0;
};

// Random access to the bytes of an existing archive. ReadAt returns how many bytes it read; fewer than asked
// means the range runs past the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual qint64 Size() const = 0;
    virtual qint64 ReadAt(qint64 position, char* data, qint64 size) const = 0;
};

// Sequential and random reading of an open file descriptor, which the caller keeps owning. A read that fails
// raises EFReadError naming `path` and the system's reason, so that an input/output error in the middle of a
// file can never pass for its end.
class FileReader final : public ByteReader, public ByteSource {
public:
    // `size` is the file's size as noted by the caller; ReadAt reads nothing past it.
    FileReader(int descriptor, qint64 size, QString path);

    qint64 Read(char* data, qint64 size) override;
    qint64 Size() const override;
    qint64 ReadAt(qint64 position, char* data, qint64 size) const override;

private:
    int descriptor_;
    qint64 size_;
    QString path_;
};

// Reading of bytes held in memory.
class MemorySource final : public ByteReader, public ByteSource {
public:
    explicit MemorySource(QByteArray bytes);

    qint64 Read(char* data, qint64 size) override;
    qint64 Size() const override;
    qint64 ReadAt(qint64 position, char* data, qint64 size) const override;

private:
    QByteArray bytes_;
    qint64 next_ = 0;
};
