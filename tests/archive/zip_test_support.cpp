#include "tests/archive/zip_test_support.h"

#include "tests/support/test_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
