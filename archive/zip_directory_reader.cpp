#include "archive/zip_directory_reader.h"

#include "archive/byte_source.h"
#include "archive/zip_errors.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace {

// Offsets of the two length fields in a local header.
constexpr qsizetype kLocalNameLengthOffset = 26;
// Room that an extra field carried over must leave for the Zip64 block the writer may add.
constexpr qsizetype kMaxCarriedExtraSize = kMaxFieldLength - kZip64ExtraMaxSize;

[[noreturn]] void Invalid()
{
    throw ZipError(kNotValidZipText);
}

// Little-endian fields read in order from a block; reading past its end means the archive is not valid.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& bytes, qsizetype position = 0) : bytes_(bytes), position_(position) {}

    quint64 U16() { return Number(2); }
    quint64 U32() { return Number(4); }
    quint64 U64() { return Number(8); }
    QByteArray Bytes(quint64 size)
    {
        Need(size);
        const QByteArray result = bytes_.mid(position_, static_cast<qsizetype>(size));
        position_ += static_cast<qsizetype>(size);
        return result;
    }
    qsizetype Position() const { return position_; }

private:
    void Need(quint64 size) const
    {
        if (position_ < 0 || position_ > bytes_.size() || size > static_cast<quint64>(bytes_.size() - position_)) {
            Invalid();
        }
    }
    quint64 Number(int size)
    {
        Need(static_cast<quint64>(size));
        quint64 value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(bytes_[position_ + i]);
        }
        position_ += size;
        return value;
    }

    const QByteArray& bytes_;
    qsizetype position_;
};

// `size` bytes from `position`; callers keep `size` to what a record can hold or what the file holds.
QByteArray ReadBlock(const ByteSource& source, quint64 position, quint64 size)
{
    const auto total = static_cast<quint64>(source.Size());
    if (position > total || size > total - position) {
        Invalid();
    }
    QByteArray block(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (source.ReadAt(static_cast<qint64>(position), block.data(), static_cast<qint64>(size))
        != static_cast<qint64>(size)) {
        Invalid();
    }
    return block;
}

// Where the central directory lies, and where the records after it begin.
struct DirectoryPlace {
    quint64 entries = 0;
    quint64 size = 0;
    quint64 offset = 0;
    quint64 end = 0;
};

// The Zip64 end record, found through its locator just before the end record.
std::optional<DirectoryPlace> ReadZip64End(const ByteSource& source, quint64 endRecordPosition)
{
    if (endRecordPosition < static_cast<quint64>(kZip64LocatorSize)) {
        return std::nullopt;
    }
    const quint64 locatorPosition = endRecordPosition - kZip64LocatorSize;
    const QByteArray locatorBytes = ReadBlock(source, locatorPosition, kZip64LocatorSize);
    FieldReader locator(locatorBytes);
    if (locator.U32() != kZip64LocatorSignature) {
        return std::nullopt;
    }
    const quint64 recordDisk = locator.U32();
    const quint64 recordPosition = locator.U64();
    const quint64 diskCount = locator.U32();
    if (recordDisk != 0 || diskCount > 1 || recordPosition > locatorPosition
        || locatorPosition - recordPosition < static_cast<quint64>(kZip64EndRecordSize)) {
        Invalid();
    }
    const QByteArray recordBytes = ReadBlock(source, recordPosition, kZip64EndRecordSize);
    FieldReader record(recordBytes);
    if (record.U32() != kZip64EndRecordSignature) {
        Invalid();
    }
    const quint64 tailSize = record.U64();
    record.U16();  // version made by
    record.U16();  // version needed to extract
    const quint64 thisDisk = record.U32();
    const quint64 centralDisk = record.U32();
    DirectoryPlace place;
    const quint64 entriesOnDisk = record.U64();
    place.entries = record.U64();
    place.size = record.U64();
    place.offset = record.U64();
    place.end = recordPosition;
    if (tailSize < kZip64EndRecordTailSize || tailSize > locatorPosition - recordPosition - 12 || thisDisk != 0
        || centralDisk != 0 || entriesOnDisk != place.entries) {
        Invalid();
    }
    return place;
}

DirectoryPlace ReadEndRecord(const ByteSource& source, quint64 position, const QByteArray& tail, qsizetype at)
{
    FieldReader end(tail, at + 4);
    const quint64 thisDisk = end.U16();
    const quint64 centralDisk = end.U16();
    const quint64 entriesOnDisk = end.U16();
    DirectoryPlace place;
    place.entries = end.U16();
    place.size = end.U32();
    place.offset = end.U32();
    place.end = position;
    const bool escaped = thisDisk == kZip64Count16 || centralDisk == kZip64Count16 || entriesOnDisk == kZip64Count16
                         || place.entries == kZip64Count16 || place.size == kZip64Value32
                         || place.offset == kZip64Value32;
    if (escaped) {
        if (const std::optional<DirectoryPlace> zip64 = ReadZip64End(source, position)) {
            return *zip64;
        }
    }
    if (thisDisk != 0 || centralDisk != 0 || entriesOnDisk != place.entries) {
        Invalid();
    }
    return place;
}

// Finds the end record: the last signature in the file's final 65557 bytes whose comment fits in the file.
DirectoryPlace FindDirectory(const ByteSource& source)
{
    const auto total = static_cast<quint64>(source.Size());
    if (total < static_cast<quint64>(kEndRecordSize)) {
        Invalid();
    }
    const quint64 tailSize = std::min<quint64>(total, kEndRecordSize + kMaxFieldLength);
    const quint64 tailStart = total - tailSize;
    const QByteArray tail = ReadBlock(source, tailStart, tailSize);
    for (qsizetype at = tail.size() - kEndRecordSize; at >= 0; --at) {
        FieldReader end(tail, at);
        if (end.U32() != kEndRecordSignature) {
            continue;
        }
        FieldReader comment(tail, at + kEndRecordSize - 2);
        if (static_cast<quint64>(at + kEndRecordSize) + comment.U16() > tailSize) {
            continue;
        }
        const DirectoryPlace place = ReadEndRecord(source, tailStart + static_cast<quint64>(at), tail, at);
        if (place.offset > place.end || place.size > place.end - place.offset
            || place.entries > place.size / kCentralHeaderSize) {
            Invalid();
        }
        return place;
    }
    Invalid();
}

// An extra field split into the data of its Zip64 block and everything else. Bytes that do not form a whole
// block stay with the rest, unchanged; every Zip64 block is taken out, since the writer adds its own.
struct SplitExtra {
    std::optional<QByteArray> zip64;
    QByteArray rest;
};

SplitExtra SplitZip64(const QByteArray& extra)
{
    SplitExtra split;
    qsizetype at = 0;
    while (extra.size() - at >= kExtraBlockHeaderSize) {
        FieldReader block(extra, at);
        const quint64 id = block.U16();
        const quint64 size = block.U16();
        if (size > static_cast<quint64>(extra.size() - block.Position())) {
            break;
        }
        if (id == kZip64ExtraId) {
            if (!split.zip64) {
                split.zip64 = extra.mid(block.Position(), static_cast<qsizetype>(size));
            }
        } else {
            split.rest.append(extra.mid(at, kExtraBlockHeaderSize + static_cast<qsizetype>(size)));
        }
        at = block.Position() + static_cast<qsizetype>(size);
    }
    split.rest.append(extra.mid(at));
    if (split.rest.size() > kMaxCarriedExtraSize) {
        Invalid();
    }
    return split;
}

// Replaces each 32-bit field that holds the Zip64 mark by its value from the Zip64 block, in the block's order.
void ApplyZip64(TZipHeaderInfo& header, quint64& diskNumber, const std::optional<QByteArray>& zip64)
{
    const bool needed = header.uncompressedSize == kZip64Value32 || header.compressedSize == kZip64Value32
                        || header.relativeOffset == kZip64Value32 || diskNumber == kZip64Count16;
    if (!needed) {
        return;
    }
    if (!zip64) {
        Invalid();
    }
    FieldReader values(*zip64);
    if (header.uncompressedSize == kZip64Value32) {
        header.uncompressedSize = values.U64();
    }
    if (header.compressedSize == kZip64Value32) {
        header.compressedSize = values.U64();
    }
    if (header.relativeOffset == kZip64Value32) {
        header.relativeOffset = values.U64();
    }
    if (diskNumber == kZip64Count16) {
        diskNumber = values.U32();
    }
}

// Reads the central header at `*position`, which must end by `end`, and moves `*position` past it.
StoredEntry ReadCentralHeader(const ByteSource& source, quint64* position, quint64 end)
{
    if (*position > end || end - *position < static_cast<quint64>(kCentralHeaderSize)) {
        Invalid();
    }
    const QByteArray fixed = ReadBlock(source, *position, kCentralHeaderSize);
    FieldReader header(fixed);
    if (header.U32() != kCentralHeaderSignature) {
        Invalid();
    }
    StoredEntry entry;
    TZipHeaderInfo& info = entry.header;
    info.versionMadeBy = static_cast<quint16>(header.U16());
    info.versionNeeded = static_cast<quint16>(header.U16());
    info.flags = static_cast<quint16>(header.U16());
    info.compressionMethod = static_cast<quint16>(header.U16());
    info.lastModified = static_cast<quint32>(header.U32());
    info.crc32 = static_cast<quint32>(header.U32());
    info.compressedSize = header.U32();
    info.uncompressedSize = header.U32();
    const quint64 nameLength = header.U16();
    const quint64 extraLength = header.U16();
    const quint64 commentLength = header.U16();
    quint64 diskNumber = header.U16();
    info.internalAttributes = static_cast<quint16>(header.U16());
    info.externalAttributes = static_cast<quint32>(header.U32());
    info.relativeOffset = header.U32();

    // Three 16-bit lengths: never more than 196605 bytes, and only when the directory holds them.
    const quint64 variableLength = nameLength + extraLength + commentLength;
    if (variableLength > end - *position - kCentralHeaderSize) {
        Invalid();
    }
    const QByteArray variable = ReadBlock(source, *position + kCentralHeaderSize, variableLength);
    FieldReader rest(variable);
    info.fileName = rest.Bytes(nameLength);
    SplitExtra extra = SplitZip64(rest.Bytes(extraLength));
    info.comment = rest.Bytes(commentLength);
    ApplyZip64(info, diskNumber, extra.zip64);
    if (diskNumber != 0) {
        Invalid();
    }
    info.centralExtra = std::move(extra.rest);
    *position += kCentralHeaderSize + variableLength;
    return entry;
}

// Checks the entry's local header and notes where its data begins; the data must end before `limit`.
void ReadLocalHeader(const ByteSource& source, StoredEntry& entry, quint64 limit)
{
    const quint64 position = entry.header.relativeOffset;
    if (position > limit || limit - position < static_cast<quint64>(kLocalHeaderSize)) {
        Invalid();
    }
    const QByteArray fixed = ReadBlock(source, position, kLocalHeaderSize);
    FieldReader local(fixed);
    if (local.U32() != kLocalHeaderSignature) {
        Invalid();
    }
    FieldReader lengths(fixed, kLocalNameLengthOffset);
    const quint64 nameLength = lengths.U16();
    const quint64 extraLength = lengths.U16();
    const quint64 dataOffset = position + kLocalHeaderSize + nameLength + extraLength;
    if (dataOffset > limit || entry.header.compressedSize > limit - dataOffset) {
        Invalid();
    }
    entry.header.localExtra = SplitZip64(ReadBlock(source, position + kLocalHeaderSize + nameLength, extraLength)).rest;
    entry.dataOffset = static_cast<qint64>(dataOffset);
}

// Where an entry's bytes begin and end in the archive.
using Span = std::pair<quint64, quint64>;

// Entries whose bytes overlap would let a small file stand for a huge archive.
void CheckNoOverlap(std::vector<Span>& spans)
{
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first < spans[i - 1].second) {
            Invalid();
        }
    }
}

// Reads the directory header by header, so that memory follows the entries actually found, not the directory's
// stated size, and hands each entry to `take`; the whole directory is checked before the walk returns.
void WalkDirectory(const ByteSource& source, const std::function<void(StoredEntry&&)>& take)
{
    const DirectoryPlace place = FindDirectory(source);
    const quint64 end = place.offset + place.size;
    quint64 position = place.offset;
    std::vector<Span> spans;
    for (quint64 i = 0; i < place.entries; ++i) {
        StoredEntry entry = ReadCentralHeader(source, &position, end);
        ReadLocalHeader(source, entry, place.offset);
        spans.emplace_back(entry.header.relativeOffset,
                           static_cast<quint64>(entry.dataOffset) + entry.header.compressedSize);
        take(std::move(entry));
    }
    CheckNoOverlap(spans);
}

}  // namespace

std::vector<StoredEntry> ReadZipDirectory(const ByteSource& source)
{
    std::vector<StoredEntry> entries;
    WalkDirectory(source, [&entries](StoredEntry&& entry) { entries.push_back(std::move(entry)); });
    return entries;
}

std::optional<StoredEntry> FindZipEntry(const ByteSource& source, const QByteArray& storedName)
{
    std::optional<StoredEntry> found;
    WalkDirectory(source, [&](StoredEntry&& entry) {
        if (!found && entry.header.fileName == storedName) {
            found = std::move(entry);
        }
    });
    return found;
}
