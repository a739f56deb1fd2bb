#pragma once

#include "archive/zip_records.h"

#include <QByteArray>

#include <deque>
#include <set>

// The entries of the archive being written, kept in two orders over the same records: the order in which they
// were written (sort mode ByNone), which gives the order of the central directory, and by stored name with
// ASCII letter case ignored (sort mode ByName), to find an entry of the same name.
class TSortedZip {
public:
    // Appends the entry in both orders.
    void Add(TZipHeaderInfo entry);
    // True when an entry of this stored name, ASCII letter case ignored, is already there.
    bool ContainsName(const QByteArray& storedName) const;
    const std::deque<TZipHeaderInfo>& InWrittenOrder() const;

private:
    // Orders entries and names by stored name with ASCII letters folded to lower case.
    struct NameLess {
        using is_transparent = void;
        bool operator()(const TZipHeaderInfo* left, const TZipHeaderInfo* right) const;
        bool operator()(const TZipHeaderInfo* left, const QByteArray& right) const;
        bool operator()(const QByteArray& left, const TZipHeaderInfo* right) const;
    };

    // A deque keeps the records in place as it grows, so the name order can point at them.
    std::deque<TZipHeaderInfo> byNone_;
    std::multiset<const TZipHeaderInfo*, NameLess> byName_;
};

// Compares two stored names with ASCII letters folded to lower case: negative, zero or positive.
int CompareNamesIgnoringAsciiCase(const QByteArray& left, const QByteArray& right);
