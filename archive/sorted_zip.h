#pragma once

#include "archive/zip_records.h"

#include <QByteArray>
#include <QByteArrayView>

#include <deque>
#include <memory>
#include <set>

// The entries of the archive being written, kept in two orders over the same records: the order in which they
// were written (sort mode ByNone), which gives the order of the central directory, and by stored name with
// ASCII letter case ignored (sort mode ByName), to find an entry of the same name. Each entry keeps only what its
// central header needs, in fixed fields and one block of bytes, so that an archive of many thousands of entries stays
// small in memory.
class TSortedZip {
public:
    TSortedZip() = default;
    TSortedZip(const TSortedZip&) = delete;
    TSortedZip& operator=(const TSortedZip&) = delete;

    // Appends the entry in both orders.
    void Add(const TZipHeaderInfo& entry);
    // True when an entry of this stored name, ASCII letter case ignored, is already there.
    bool ContainsName(QByteArrayView storedName) const;
    qsizetype Count() const;
    // The `index`-th entry written, with every field its central header needs; the local extra field is not kept.
    TZipHeaderInfo At(qsizetype index) const;
    void Clear();

private:
    // Fields ordered by size, so that the record has no gaps.
    struct Record {
        quint64 compressedSize = 0;
        quint64 uncompressedSize = 0;
        quint64 relativeOffset = 0;
        // The stored name, the central extra field and the comment, one after the other.
        std::unique_ptr<char[]> bytes;
        quint32 lastModified = 0;
        quint32 crc32 = 0;
        quint32 externalAttributes = 0;
        quint16 versionMadeBy = 0;
        quint16 versionNeeded = 0;
        quint16 flags = 0;
        quint16 compressionMethod = 0;
        quint16 diskNumberStart = 0;
        quint16 internalAttributes = 0;
        quint16 nameLength = 0;
        quint16 extraLength = 0;
        quint16 commentLength = 0;
        bool zip64Sizes = false;

        QByteArrayView Name() const { return {bytes.get(), nameLength}; }
    };

    // Orders records and names by stored name with ASCII letters folded to lower case.
    struct NameLess {
        using is_transparent = void;
        bool operator()(const Record* left, const Record* right) const;
        bool operator()(const Record* left, QByteArrayView right) const;
        bool operator()(QByteArrayView left, const Record* right) const;
    };

    // A deque keeps the records in place as it grows, so the name order can point at them.
    std::deque<Record> byNone_;
    std::multiset<const Record*, NameLess> byName_;
};
