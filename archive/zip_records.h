#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class ArchiveOutput;

// Signatures and fixed sizes of the zip container's records (PKWARE APPNOTE 4.5).
inline constexpr quint32 kLocalHeaderSignature = 0x04034b50;
inline constexpr quint32 kCentralHeaderSignature = 0x02014b50;
inline constexpr quint32 kEndRecordSignature = 0x06054b50;
inline constexpr quint32 kZip64EndRecordSignature = 0x06064b50;
inline constexpr quint32 kZip64LocatorSignature = 0x07064b50;
inline constexpr qint64 kLocalHeaderSize = 30;
inline constexpr qint64 kCentralHeaderSize = 46;
inline constexpr qint64 kEndRecordSize = 22;
inline constexpr qint64 kZip64EndRecordSize = 56;
inline constexpr qint64 kZip64LocatorSize = 20;
// The Zip64 end record's own size field counts the record without its signature and that field.
inline constexpr quint64 kZip64EndRecordTailSize = kZip64EndRecordSize - 12;

// Version made by: zip format version 4.5, host system 0 (MS-DOS and FAT attributes).
inline constexpr quint16 kVersionMadeBy = 0x002D;
inline constexpr quint16 kVersionNeeded = 20;
inline constexpr quint16 kVersionNeededZip64 = 45;
inline constexpr quint16 kMethodStore = 0;
inline constexpr quint16 kMethodDeflate = 8;
// General purpose bits: data descriptor follows the data; the compression level's two bits; the name is UTF-8.
inline constexpr quint16 kFlagDataDescriptor = 0x0008;
inline constexpr quint16 kFlagFastLevel = 0x0004;
inline constexpr quint16 kFlagMaximumLevel = 0x0002;
inline constexpr quint16 kFlagUtf8Name = 0x0800;
// The CRC a local header carries until the entry's data has been read.
inline constexpr quint32 kProvisionalCrc = 0xFFFFFFFF;

// Zip64: a 32-bit field holding this value (a 16-bit count holding kZip64Count16) means "see the Zip64 records".
inline constexpr quint64 kZip64Value32 = 0xFFFFFFFF;
inline constexpr quint64 kZip64Count16 = 0xFFFF;
inline constexpr quint16 kZip64ExtraId = 0x0001;
inline constexpr quint16 kUnicodePathExtraId = 0x7075;
inline constexpr quint8 kUnicodePathVersion = 1;
inline constexpr qint64 kExtraBlockHeaderSize = 4;
// The largest Zip64 extra block: header, both sizes, offset and disk number.
inline constexpr qint64 kZip64ExtraMaxSize = kExtraBlockHeaderSize + 8 + 8 + 8 + 4;
inline constexpr qint64 kMaxFieldLength = 0xFFFF;

// One entry of the archive, in the order of the central header's fields.
struct TZipHeaderInfo {
    quint16 versionMadeBy = kVersionMadeBy;
    quint16 versionNeeded = kVersionNeeded;
    quint16 flags = 0;
    quint16 compressionMethod = kMethodDeflate;
    // DOS format: time in the low half, date in the high half, as the two halves follow each other in the headers.
    quint32 lastModified = 0;
    quint32 crc32 = kProvisionalCrc;
    quint64 compressedSize = 0;
    quint64 uncompressedSize = 0;
    quint16 diskNumberStart = 0;
    quint16 internalAttributes = 0;
    quint32 externalAttributes = 0;
    quint64 relativeOffset = 0;
    // The stored name: folder part and name part joined with "/" separators, as the bytes written.
    QByteArray fileName;
    // Extra fields besides the Zip64 block: an entry's own (see UnicodePathExtra), or those of an entry carried
    // over from an existing archive, without any Zip64 block.
    QByteArray localExtra;
    QByteArray centralExtra;
    QByteArray comment;
    // The local header carries the sizes in the Zip64 form. Decided when it is first written, since the rewrite
    // with the final sizes must keep its length.
    bool zip64Sizes = false;
};

// The end of central directory record.
struct TEndCentral {
    quint16 thisDisk = 0;
    quint16 centralDisk = 0;
    quint64 entriesOnDisk = 0;
    quint64 totalEntries = 0;
    quint64 centralSize = 0;
    quint64 centralOffset = 0;
    QByteArray comment;
};

// The name stored for a file: folder part (empty, or ending in "/") + name part, as UTF-8 bytes (this platform's
// only code page). A name that an extractor could take outside its folder, or read as another name, is refused
// with a ZipError: one holding a backslash (a separator to many readers), a leading "/", or an empty, "." or ".."
// segment.
QByteArray StoredName(const QString& folderPart, const QString& namePart);

// The language-encoding flag a stored name needs: set for a name with a byte outside ASCII, so that readers take
// it as UTF-8 rather than as code page 437; clear for an ASCII name.
quint16 NameEncodingFlag(const QByteArray& storedName);

// The Info-ZIP Unicode Path extra field of a stored name with a byte outside ASCII, for the local and the central
// header; empty for an ASCII name. It repeats the name as UTF-8 for readers that decode the name of an entry made
// on an MS-DOS host as code page 437 whatever its UTF-8 flag says (Info-ZIP's unzip among them).
QByteArray UnicodePathExtra(const QByteArray& storedName);

// General purpose flags for a deflate level: 2 or less is "fast", 8 or more "maximum", others neither.
quint16 FlagsForLevel(int level);

// A name, extra field or comment length in its 16-bit field. The writer never makes a longer one.
quint16 Length16(qsizetype length);

// True when either size needs the Zip64 form.
bool NeedsZip64Sizes(const TZipHeaderInfo& entry);

// Notes the archive's position as the entry's local header offset and writes its local file header there.
void WriteLocalHeader(TZipHeaderInfo& entry, ArchiveOutput& archive);

// Writes the entry's central directory header at the current position.
void WriteCentralHeader(const TZipHeaderInfo& entry, ArchiveOutput& archive);

// Writes the end of central directory record, preceded by the Zip64 end record and its locator when a count,
// size or offset needs them.
void WriteEndRecord(const TEndCentral& end, ArchiveOutput& archive);
