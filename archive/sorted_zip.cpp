#include "archive/sorted_zip.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

unsigned char FoldAscii(char byte)
{
    const auto code = static_cast<unsigned char>(byte);
    return code >= 'A' && code <= 'Z' ? static_cast<unsigned char>(code - 'A' + 'a') : code;
}

// A name, extra field or comment length, which its 16-bit field must hold whole.
quint16 Length16(qsizetype length)
{
    if (length > kMaxFieldLength) {
        throw std::length_error("zip record field longer than 65535 bytes");
    }
    return static_cast<quint16>(length);
}

} // namespace

int CompareNamesIgnoringAsciiCase(QByteArrayView left, QByteArrayView right)
{
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const unsigned char a = FoldAscii(left[i]);
        const unsigned char b = FoldAscii(right[i]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}

bool TSortedZip::NameLess::operator()(const Record* left, const Record* right) const
{
    return CompareNamesIgnoringAsciiCase(left->Name(), right->Name()) < 0;
}

bool TSortedZip::NameLess::operator()(const Record* left, QByteArrayView right) const
{
    return CompareNamesIgnoringAsciiCase(left->Name(), right) < 0;
}

bool TSortedZip::NameLess::operator()(QByteArrayView left, const Record* right) const
{
    return CompareNamesIgnoringAsciiCase(left, right->Name()) < 0;
}

void TSortedZip::Add(const TZipHeaderInfo& entry)
{
    Record record;
    record.compressedSize = entry.compressedSize;
    record.uncompressedSize = entry.uncompressedSize;
    record.relativeOffset = entry.relativeOffset;
    record.lastModified = entry.lastModified;
    record.crc32 = entry.crc32;
    record.externalAttributes = entry.externalAttributes;
    record.versionMadeBy = entry.versionMadeBy;
    record.versionNeeded = entry.versionNeeded;
    record.flags = entry.flags;
    record.compressionMethod = entry.compressionMethod;
    record.diskNumberStart = entry.diskNumberStart;
    record.internalAttributes = entry.internalAttributes;
    record.nameLength = Length16(entry.fileName.size());
    record.extraLength = Length16(entry.centralExtra.size());
    record.commentLength = Length16(entry.comment.size());
    record.zip64Sizes = entry.zip64Sizes;
    record.bytes = std::make_unique_for_overwrite<char[]>(record.nameLength + record.extraLength
                                                          + record.commentLength);
    char* next = record.bytes.get();
    for (const auto& [field, length] : {std::pair{&entry.fileName, record.nameLength},
                                        std::pair{&entry.centralExtra, record.extraLength},
                                        std::pair{&entry.comment, record.commentLength}}) {
        std::memcpy(next, field->constData(), length);
        next += length;
    }
    byNone_.push_back(std::move(record));
    byName_.insert(&byNone_.back());
}

bool TSortedZip::ContainsName(QByteArrayView storedName) const
{
    return byName_.find(storedName) != byName_.end();
}

qsizetype TSortedZip::Count() const
{
    return static_cast<qsizetype>(byNone_.size());
}

TZipHeaderInfo TSortedZip::At(qsizetype index) const
{
    const Record& record = byNone_[static_cast<size_t>(index)];
    TZipHeaderInfo entry;
    entry.versionMadeBy = record.versionMadeBy;
    entry.versionNeeded = record.versionNeeded;
    entry.flags = record.flags;
    entry.compressionMethod = record.compressionMethod;
    entry.lastModified = record.lastModified;
    entry.crc32 = record.crc32;
    entry.compressedSize = record.compressedSize;
    entry.uncompressedSize = record.uncompressedSize;
    entry.diskNumberStart = record.diskNumberStart;
    entry.internalAttributes = record.internalAttributes;
    entry.externalAttributes = record.externalAttributes;
    entry.relativeOffset = record.relativeOffset;
    const char* next = record.bytes.get();
    entry.fileName = QByteArray(next, record.nameLength);
    next += record.nameLength;
    entry.centralExtra = QByteArray(next, record.extraLength);
    next += record.extraLength;
    entry.comment = QByteArray(next, record.commentLength);
    entry.zip64Sizes = record.zip64Sizes;
    return entry;
}

void TSortedZip::Clear()
{
    byName_.clear();
    byNone_.clear();
}
