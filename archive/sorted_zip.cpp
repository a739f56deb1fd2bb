#include "archive/sorted_zip.h"

#include "common/ascii_case.h"

#include <algorithm>
#include <cstring>

bool TSortedZip::NameLess::operator()(const Record* left, const Record* right) const
{
    return CompareIgnoringAsciiCase(left->Name(), right->Name()) < 0;
}

bool TSortedZip::NameLess::operator()(const Record* left, QByteArrayView right) const
{
    return CompareIgnoringAsciiCase(left->Name(), right) < 0;
}

bool TSortedZip::NameLess::operator()(QByteArrayView left, const Record* right) const
{
    return CompareIgnoringAsciiCase(left, right->Name()) < 0;
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
    record.bytes =
        std::make_unique_for_overwrite<char[]>(record.nameLength + record.extraLength + record.commentLength);
    char* next = record.bytes.get();
    for (const auto& [field, length] :
         {std::pair{&entry.fileName, record.nameLength}, std::pair{&entry.centralExtra, record.extraLength},
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
