#pragma once

#include <QByteArrayView>
#include <QString>

// Books and zip archives compare names with the ASCII letters folded to lower case and every
// other character as it is, whatever the system's language.

constexpr char16_t FoldAsciiCase(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

constexpr unsigned char FoldAsciiCase(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// The text with its ASCII letters in lower case; a text without capitals is shared, not copied.
QString FoldAsciiCase(const QString& text);

// Compares two byte strings with ASCII letters folded: negative, zero or positive.
int CompareIgnoringAsciiCase(QByteArrayView left, QByteArrayView right);
