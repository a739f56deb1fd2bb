#include "archive/zip_entry_reader.h"

#include "archive/byte_source.h"
#include "archive/zip_directory_reader.h"
#include "archive/zip_errors.h"
#include "common/file_descriptor.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

namespace {

[[noreturn]] void Invalid()
{
    throw ZipError(kNotValidZipText);
}

QByteArray ReadData(const ByteSource& archive, const StoredEntry& entry)
{
    const auto size = static_cast<qint64>(entry.header.compressedSize);
    QByteArray data(size, Qt::Uninitialized);
    if (archive.ReadAt(entry.dataOffset, data.data(), size) != size) {
        Invalid();
    }
    return data;
}

// Inflates a raw Deflate stream that must give exactly `size` bytes.
QByteArray Inflate(const QByteArray& compressed, qint64 size)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        Invalid();
    }
    QByteArray result(size, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(result.data());
    stream.avail_out = static_cast<uInt>(result.size());
    const int status = inflate(&stream, Z_FINISH);
    const bool whole = status == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
    if (!whole) {
        Invalid();
    }
    return result;
}

QByteArray EntryContent(const ByteSource& archive, const StoredEntry& entry, qint64 maxSize)
{
    const TZipHeaderInfo& header = entry.header;
    if (header.uncompressedSize > static_cast<quint64>(maxSize)
        || header.compressedSize > static_cast<quint64>(compressBound(static_cast<uLong>(maxSize)))) {
        Invalid();
    }
    const QByteArray data = ReadData(archive, entry);
    QByteArray content;
    if (header.compressionMethod == kMethodStore && header.compressedSize == header.uncompressedSize) {
        content = data;
    } else if (header.compressionMethod == kMethodDeflate) {
        content = Inflate(data, static_cast<qint64>(header.uncompressedSize));
    } else {
        Invalid();
    }
    const uLong crc = crc32(crc32(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(content.constData()),
                            static_cast<uInt>(content.size()));
    if (crc != header.crc32) {
        Invalid();
    }
    return content;
}

}  // namespace

std::optional<QByteArray> ReadZipEntry(const QString& archivePath, const QByteArray& storedName, qint64 maxSize)
{
    // Opened without waiting, so that a FIFO at the path cannot hold the caller up.
    const FileDescriptor file(::open(QFile::encodeName(archivePath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const FileReader archive(file.Get(), info.st_size, archivePath);
    const std::optional<StoredEntry> entry = FindZipEntry(archive, storedName);
    if (!entry) {
        return std::nullopt;
    }
    return EntryContent(archive, *entry, maxSize);
}
