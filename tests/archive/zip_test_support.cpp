#include "tests/archive/zip_test_support.h"

#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>

qint64 MemorySink::Write(const char* data, qint64 size)
{
    if (position_ + size > bytes_.size()) {
        bytes_.resize(position_ + size);
    }
    std::memcpy(bytes_.data() + position_, data, static_cast<size_t>(size));
    position_ += size;
    return size;
}

bool MemorySink::Seek(qint64 position)
{
    position_ = position;
    return position <= bytes_.size();
}

qint64 MemorySink::Position() const
{
    return position_;
}

qint64 FullDiskSink::Write(const char* data, qint64 size)
{
    const qint64 stored = inner_->Write(data, std::min(size, left_));
    left_ -= stored;
    return stored;
}

qint64 NoRewriteSink::Write(const char* data, qint64 size)
{
    if (inner_->Position() < end_) {
        return 0;
    }
    const qint64 stored = inner_->Write(data, size);
    end_ = inner_->Position();
    return stored;
}

QByteArray FromHex(const char* hex)
{
    QByteArray digits(hex);
    digits.replace(' ', "").replace('\n', "");
    return QByteArray::fromHex(digits);
}

quint32 U16At(const QByteArray& bytes, qsizetype position)
{
    return static_cast<quint32>(static_cast<unsigned char>(bytes[position]))
           | static_cast<quint32>(static_cast<unsigned char>(bytes[position + 1])) << 8;
}

quint32 U32At(const QByteArray& bytes, qsizetype position)
{
    return U16At(bytes, position) | U16At(bytes, position + 2) << 16;
}

quint32 Crc32Of(const QByteArray& bytes)
{
    return static_cast<quint32>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uInt>(bytes.size())));
}

QByteArray RandomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

void SetModified(const QString& path, std::time_t moment)
{
    const timespec times[2] = {{moment, 0}, {moment, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

QJsonObject InspectZip(const QString& archive, bool summary)
{
    QStringList arguments{TAMBORIL_ZIP_INSPECT, archive};
    if (summary) {
        arguments << "--summary";
    }
    QString output;
    QString errors;
    EXPECT_EQ(RunProgram(PythonProgram(), arguments, &output, &errors), 0) << errors.toStdString();
    return QJsonDocument::fromJson(output.toUtf8()).object();
}

QStringList EntryNames(const QJsonObject& inspection)
{
    QStringList names;
    for (const QJsonValue& entry : inspection["entries"].toArray()) {
        names << entry["name"].toString();
    }
    return names;
}

QJsonObject EntryNamed(const QJsonObject& inspection, const QString& name)
{
    for (const QJsonValue& entry : inspection["entries"].toArray()) {
        if (entry["name"].toString() == name) {
            return entry.toObject();
        }
    }
    return {};
}

bool UnzipTestPasses(const QString& archive, QString* output)
{
    QString text;
    const int exitCode = RunProgram("unzip", {"-t", archive}, &text);
    if (output != nullptr) {
        *output = text;
    }
    return exitCode == 0 && text.contains("No errors detected");
}

QByteArray UnzipEntry(const QString& archive, const QString& name)
{
    return ProgramOutput("unzip", {"-p", archive, name});
}

QByteArray InflateRaw(const QByteArray& raw)
{
    z_stream stream{};
    EXPECT_EQ(inflateInit2(&stream, -15), Z_OK);
    QByteArray result;
    char block[65536];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    stream.avail_in = static_cast<uInt>(raw.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        status = inflate(&stream, Z_NO_FLUSH);
        result.append(block, static_cast<qsizetype>(sizeof block - stream.avail_out));
    }
    EXPECT_EQ(status, Z_STREAM_END);
    EXPECT_EQ(stream.avail_in, 0u) << "bytes after the end of the Deflate stream";
    inflateEnd(&stream);
    return result;
}

void MakeManyEmptyFiles(const QString& folder, int count)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    constexpr int kLinksPerFile = 30000;
    QByteArray original;
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(folder + QString("/f%1").arg(i, 5, 10, QChar('0')));
        if (i % kLinksPerFile == 0) {
            original = path;
            const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(descriptor, 0);
            ::close(descriptor);
        } else {
            ASSERT_EQ(::link(original.constData(), path.constData()), 0);
        }
    }
}
