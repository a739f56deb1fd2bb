#pragma once

#include "archive/byte_sink.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <ctime>
#include <memory>

// Helpers shared by the archive tests.

// A sink that keeps the archive in memory and can be repositioned like a file.
class MemorySink final : public ByteSink {
public:
    qint64 Write(const char* data, qint64 size) override;
    bool Seek(qint64 position) override;
    qint64 Position() const override;

    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    qint64 position_ = 0;
};

// A sink that passes everything to another one; the two below refuse some writes.
class ForwardingSink : public ByteSink {
public:
    explicit ForwardingSink(std::unique_ptr<ByteSink> inner) : inner_(std::move(inner)) {}

    bool Seek(qint64 position) override { return inner_->Seek(position); }
    qint64 Position() const override { return inner_->Position(); }

protected:
    std::unique_ptr<ByteSink> inner_;
};

// Stores nothing more once `limit` bytes have been written in all, as a full disk does.
class FullDiskSink final : public ForwardingSink {
public:
    FullDiskSink(std::unique_ptr<ByteSink> inner, qint64 limit) : ForwardingSink(std::move(inner)), left_(limit) {}

    qint64 Write(const char* data, qint64 size) override;

private:
    qint64 left_;
};

// Stores everything written at the end but refuses any write behind it, so that rewriting a header fails.
class NoRewriteSink final : public ForwardingSink {
public:
    using ForwardingSink::ForwardingSink;

    qint64 Write(const char* data, qint64 size) override;

private:
    qint64 end_ = 0;
};

// Bytes from a hexadecimal text; spaces and line breaks are ignored.
QByteArray FromHex(const char* hex);

// Little-endian fields of a byte string.
quint32 U16At(const QByteArray& bytes, qsizetype position);
quint32 U32At(const QByteArray& bytes, qsizetype position);

// zlib's CRC-32 of the bytes.
quint32 Crc32Of(const QByteArray& bytes);

// The bytes of a raw Deflate stream; fails the test unless the stream ends exactly at the end of `raw`.
QByteArray InflateRaw(const QByteArray& raw);

// `count` empty files in `folder`, named f00000, f00001, ...: hard links to a few real ones, far quicker to make
// than files of their own. Fails the test when it cannot make them.
void MakeManyEmptyFiles(const QString& folder, int count);

// Bytes that do not compress.
QByteArray RandomBytes(qsizetype size, unsigned seed);

// Sets a file's last-write time.
void SetModified(const QString& path, std::time_t moment);

// What Python's zipfile finds in an archive (see zip_inspect.py); `summary` asks for counts only.
QJsonObject InspectZip(const QString& archive, bool summary = false);

// The names of the entries, in stored order, as Python's zipfile reads them.
QStringList EntryNames(const QJsonObject& inspection);

// The entry of that name, as Python's zipfile reads it; an empty object when there is none.
QJsonObject EntryNamed(const QJsonObject& inspection, const QString& name);

// True when Info-ZIP's "unzip -t" reports no errors.
bool UnzipTestPasses(const QString& archive, QString* output = nullptr);

// The content of one entry as Info-ZIP's "unzip -p" extracts it.
QByteArray UnzipEntry(const QString& archive, const QString& name);
