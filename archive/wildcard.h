#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// True when `text` matches `pattern`, where "*" stands for any run of characters and "?" for any one
// character; ASCII letters match without regard to case.
bool WildcardMatch(QStringView text, QStringView pattern);

// True when `text` matches one of the patterns.
bool MatchesAny(const QString& text, const QStringList& patterns);

// The directory-listing rule for a file name and a mask: a name without an extension is matched with a "."
// appended, so that "*." picks the names without one; the mask "*" takes every name.
bool MaskMatches(const QString& name, const QString& mask);
