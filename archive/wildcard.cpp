#include "archive/wildcard.h"

#include "common/ascii_case.h"

bool WildcardMatch(QStringView text, QStringView pattern)
{
    // Matches greedily and, on a mismatch, lets the last "*" take one character more.
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starPattern = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size()
                   && (pattern[p] == u'?' || FoldAsciiCase(pattern[p].unicode()) == FoldAsciiCase(text[t].unicode()))) {
            ++p;
            ++t;
        } else if (starPattern >= 0) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

bool MatchesAny(const QString& text, const QStringList& patterns)
{
    for (const QString& pattern : patterns) {
        if (WildcardMatch(text, pattern)) {
            return true;
        }
    }
    return false;
}

bool MaskMatches(const QString& name, const QString& mask)
{
    if (mask == QLatin1String("*")) {
        return true;
    }
    return WildcardMatch(name.contains(QLatin1Char('.')) ? name : name + QLatin1Char('.'), mask);
}
