#include "common/ascii_case.h"

#include <algorithm>

QString FoldAsciiCase(const QString& text)
{
    const auto isCapital = [](QChar c) { return FoldAsciiCase(c.unicode()) != c.unicode(); };
    if (std::none_of(text.cbegin(), text.cend(), isCapital)) {
        return text;
    }
    QString folded = text;
    for (QChar& c : folded) {
        c = QChar(FoldAsciiCase(c.unicode()));
    }
    return folded;
}

int CompareIgnoringAsciiCase(QByteArrayView left, QByteArrayView right)
{
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const unsigned char a = FoldAsciiCase(static_cast<unsigned char>(left[i]));
        const unsigned char b = FoldAsciiCase(static_cast<unsigned char>(right[i]));
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}
