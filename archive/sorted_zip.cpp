#include "archive/sorted_zip.h"

#include <algorithm>

namespace {

unsigned char FoldAscii(char byte)
{
    const auto code = static_cast<unsigned char>(byte);
    return code >= 'A' && code <= 'Z' ? static_cast<unsigned char>(code - 'A' + 'a') : code;
}

} // namespace

int CompareNamesIgnoringAsciiCase(const QByteArray& left, const QByteArray& right)
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

bool TSortedZip::NameLess::operator()(const TZipHeaderInfo* left, const TZipHeaderInfo* right) const
{
    return CompareNamesIgnoringAsciiCase(left->fileName, right->fileName) < 0;
}

bool TSortedZip::NameLess::operator()(const TZipHeaderInfo* left, const QByteArray& right) const
{
    return CompareNamesIgnoringAsciiCase(left->fileName, right) < 0;
}

bool TSortedZip::NameLess::operator()(const QByteArray& left, const TZipHeaderInfo* right) const
{
    return CompareNamesIgnoringAsciiCase(left, right->fileName) < 0;
}

void TSortedZip::Add(TZipHeaderInfo entry)
{
    byNone_.push_back(std::move(entry));
    byName_.insert(&byNone_.back());
}

bool TSortedZip::ContainsName(const QByteArray& storedName) const
{
    return byName_.find(storedName) != byName_.end();
}

const std::deque<TZipHeaderInfo>& TSortedZip::InWrittenOrder() const
{
    return byNone_;
}
