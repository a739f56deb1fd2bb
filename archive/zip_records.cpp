#include "archive/zip_records.h"

#include "archive/byte_sink.h"
#include "archive/zip_errors.h"

#include <QList>
#include <QStringView>

#include <algorithm>

#include <zlib.h>

namespace {

// A record under construction: little-endian fields appended in order.
class RecordBytes {
public:
    void U8(quint64 value) { Append(value, 1); }
    void U16(quint64 value) { Append(value, 2); }
    void U32(quint64 value) { Append(value, 4); }
    void U64(quint64 value) { Append(value, 8); }
    void Bytes(const QByteArray& bytes) { bytes_.append(bytes); }
    const QByteArray& Result() const { return bytes_; }

private:
    void Append(quint64 value, int size)
    {
        for (int i = 0; i < size; ++i) {
            bytes_.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    }

    QByteArray bytes_;
};

quint64 Value32(quint64 value)
{
    return std::min(value, kZip64Value32);
}

quint64 Count16(quint64 count)
{
    return std::min(count, kZip64Count16);
}

// No backslash, and every "/"-separated segment a real name: no leading "/", no "//", no "." or "..".
bool IsSafeEntryName(const QString& name)
{
    if (name.contains(u'\\')) {
        return false;
    }
    for (const QStringView segment : QStringView(name).split(u'/')) {
        if (segment.isEmpty() || segment == u"." || segment == u"..") {
            return false;
        }
    }
    return true;
}

bool UsesZip64(const TZipHeaderInfo& entry)
{
    return entry.zip64Sizes || NeedsZip64Sizes(entry) || entry.relativeOffset >= kZip64Value32;
}

quint64 VersionNeeded(const TZipHeaderInfo& entry)
{
    return UsesZip64(entry) ? std::max(entry.versionNeeded, kVersionNeededZip64) : entry.versionNeeded;
}

// The local header's Zip64 block holds both sizes, whatever their values.
QByteArray LocalExtra(const TZipHeaderInfo& entry)
{
    RecordBytes extra;
    if (entry.zip64Sizes) {
        extra.U16(kZip64ExtraId);           // header ID
        extra.U16(16);                      // data size
        extra.U64(entry.uncompressedSize);  // original size
        extra.U64(entry.compressedSize);    // compressed size
    }
    extra.Bytes(entry.localExtra);
    return extra.Result();
}

// The central header's Zip64 block holds, in this order, only the values whose 32-bit fields overflow.
QByteArray CentralExtra(const TZipHeaderInfo& entry)
{
    RecordBytes values;
    if (entry.uncompressedSize >= kZip64Value32) {
        values.U64(entry.uncompressedSize);
    }
    if (entry.compressedSize >= kZip64Value32) {
        values.U64(entry.compressedSize);
    }
    if (entry.relativeOffset >= kZip64Value32) {
        values.U64(entry.relativeOffset);
    }
    RecordBytes extra;
    if (!values.Result().isEmpty()) {
        extra.U16(kZip64ExtraId);                     // header ID
        extra.U16(Length16(values.Result().size()));  // data size
        extra.Bytes(values.Result());                 // the overflowing values
    }
    extra.Bytes(entry.centralExtra);
    return extra.Result();
}

}  // namespace

quint16 Length16(qsizetype length)
{
    // Names are file paths of at most a few thousand bytes, and extra fields carried over are checked as they
    // are read; a longer field is a fault of the program.
    Q_ASSERT(length >= 0 && length <= kMaxFieldLength);
    return static_cast<quint16>(length);
}

QByteArray StoredName(const QString& folderPart, const QString& namePart)
{
    const QString name = folderPart + namePart;
    if (!IsSafeEntryName(name)) {
        throw ZipError(QStringLiteral("%1 \"%2\"").arg(QLatin1String(kUnsafeNameText), name));
    }
    return name.toUtf8();
}

quint16 NameEncodingFlag(const QByteArray& storedName)
{
    const bool ascii = std::all_of(storedName.cbegin(), storedName.cend(),
                                   [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
    return ascii ? 0 : kFlagUtf8Name;
}

QByteArray UnicodePathExtra(const QByteArray& storedName)
{
    if (NameEncodingFlag(storedName) == 0) {
        return {};
    }
    const auto nameCrc = crc32(crc32(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(storedName.constData()),
                               static_cast<uInt>(storedName.size()));
    RecordBytes extra;
    extra.U16(kUnicodePathExtraId);              // header ID
    extra.U16(Length16(5 + storedName.size()));  // data size
    extra.U8(kUnicodePathVersion);               // version
    extra.U32(nameCrc);                          // CRC-32 of the header's name field
    extra.Bytes(storedName);                     // the name as UTF-8
    return extra.Result();
}

quint16 FlagsForLevel(int level)
{
    if (level <= 2) {
        return kFlagFastLevel;
    }
    if (level >= 8) {
        return kFlagMaximumLevel;
    }
    return 0;
}

bool NeedsZip64Sizes(const TZipHeaderInfo& entry)
{
    return entry.compressedSize >= kZip64Value32 || entry.uncompressedSize >= kZip64Value32;
}

void WriteLocalHeader(TZipHeaderInfo& entry, ArchiveOutput& archive)
{
    entry.relativeOffset = static_cast<quint64>(archive.Position());
    entry.zip64Sizes = entry.zip64Sizes || NeedsZip64Sizes(entry);
    const QByteArray extra = LocalExtra(entry);
    RecordBytes record;
    record.U32(kLocalHeaderSignature);                                      // signature
    record.U16(VersionNeeded(entry));                                       // version needed to extract
    record.U16(entry.flags);                                                // general purpose flags
    record.U16(entry.compressionMethod);                                    // compression method
    record.U32(entry.lastModified);                                         // last mod file time, then date
    record.U32(entry.crc32);                                                // CRC-32
    record.U32(entry.zip64Sizes ? kZip64Value32 : entry.compressedSize);    // compressed size
    record.U32(entry.zip64Sizes ? kZip64Value32 : entry.uncompressedSize);  // uncompressed size
    record.U16(Length16(entry.fileName.size()));                            // file name length
    record.U16(Length16(extra.size()));                                     // extra field length
    record.Bytes(entry.fileName);                                           // file name
    record.Bytes(extra);                                                    // extra field
    archive.Write(record.Result());
}

void WriteCentralHeader(const TZipHeaderInfo& entry, ArchiveOutput& archive)
{
    const QByteArray extra = CentralExtra(entry);
    RecordBytes record;
    record.U32(kCentralHeaderSignature);          // signature
    record.U16(entry.versionMadeBy);              // version made by
    record.U16(VersionNeeded(entry));             // version needed to extract
    record.U16(entry.flags);                      // general purpose flags
    record.U16(entry.compressionMethod);          // compression method
    record.U32(entry.lastModified);               // last mod file time, then date
    record.U32(entry.crc32);                      // CRC-32
    record.U32(Value32(entry.compressedSize));    // compressed size
    record.U32(Value32(entry.uncompressedSize));  // uncompressed size
    record.U16(Length16(entry.fileName.size()));  // file name length
    record.U16(Length16(extra.size()));           // extra field length
    record.U16(Length16(entry.comment.size()));   // file comment length
    record.U16(entry.diskNumberStart);            // disk number start
    record.U16(entry.internalAttributes);         // internal file attributes
    record.U32(entry.externalAttributes);         // external file attributes
    record.U32(Value32(entry.relativeOffset));    // relative offset of local header
    record.Bytes(entry.fileName);                 // file name
    record.Bytes(extra);                          // extra field
    record.Bytes(entry.comment);                  // file comment
    archive.Write(record.Result());
}

void WriteEndRecord(const TEndCentral& end, ArchiveOutput& archive)
{
    const bool zip64 = end.entriesOnDisk >= kZip64Count16 || end.totalEntries >= kZip64Count16
                       || end.centralSize >= kZip64Value32 || end.centralOffset >= kZip64Value32;
    RecordBytes record;
    if (zip64) {
        const quint64 zip64EndOffset = static_cast<quint64>(archive.Position());
        record.U32(kZip64EndRecordSignature);  // signature
        record.U64(kZip64EndRecordTailSize);   // size of the rest of this record
        record.U16(kVersionMadeBy);            // version made by
        record.U16(kVersionNeededZip64);       // version needed to extract
        record.U32(end.thisDisk);              // number of this disk
        record.U32(end.centralDisk);           // disk where the central directory starts
        record.U64(end.entriesOnDisk);         // entries in the central directory on this disk
        record.U64(end.totalEntries);          // total entries in the central directory
        record.U64(end.centralSize);           // size of the central directory
        record.U64(end.centralOffset);         // offset of the start of the central directory

        record.U32(kZip64LocatorSignature);  // signature
        record.U32(end.centralDisk);         // disk that holds the Zip64 end record
        record.U64(zip64EndOffset);          // offset of the Zip64 end record
        record.U32(1);                       // total number of disks
    }
    record.U32(kEndRecordSignature);           // signature
    record.U16(end.thisDisk);                  // number of this disk
    record.U16(end.centralDisk);               // disk where the central directory starts
    record.U16(Count16(end.entriesOnDisk));    // entries in the central directory on this disk
    record.U16(Count16(end.totalEntries));     // total entries in the central directory
    record.U32(Value32(end.centralSize));      // size of the central directory
    record.U32(Value32(end.centralOffset));    // offset of the start of the central directory
    record.U16(Length16(end.comment.size()));  // comment length
    record.Bytes(end.comment);                 // comment
    archive.Write(record.Result());
}
