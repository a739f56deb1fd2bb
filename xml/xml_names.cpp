#include "xml/xml_names.h"

#include "xml/xml_namespaces.h"

namespace {

const QChar kPrefixSeparator = u':';

// The NameStartChar production of XML 1.0 (fifth edition), without ":" which the caller
// handles as the prefix separator. Characters beyond the Basic Multilingual Plane arrive as
// surrogate pairs and are allowed as a pair.
bool IsNameStartChar(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || (c >= 0xC0 && c <= 0xD6)
           || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D)
           || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F)
           || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF)
           || (c >= 0xFDF0 && c <= 0xFFFD);
}

bool IsNameChar(char16_t c)
{
    return IsNameStartChar(c) || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9') || c == 0xB7
           || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// An XML Name without ":".
bool IsValidNamePart(QStringView part)
{
    if (part.isEmpty()) {
        return false;
    }
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char16_t c = part[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < part.size() && QChar::isLowSurrogate(part[i + 1].unicode())) {
            ++i;  // U+10000 to U+EFFFF: allowed anywhere in a name
            continue;
        }
        if (!(i == 0 ? IsNameStartChar(c) : IsNameChar(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsPrefixed(const QString& qualifiedName)
{
    return qualifiedName.contains(kPrefixSeparator);
}

QString PrefixOf(const QString& qualifiedName)
{
    const qsizetype separator = qualifiedName.indexOf(kPrefixSeparator);
    return separator < 0 ? QString() : qualifiedName.left(separator);
}

QString LocalNameOf(const QString& qualifiedName)
{
    const qsizetype separator = qualifiedName.indexOf(kPrefixSeparator);
    return separator < 0 ? qualifiedName : qualifiedName.mid(separator + 1);
}

QString JoinQualifiedName(const QString& prefix, const QString& localName)
{
    return prefix.isEmpty() ? localName : prefix + kPrefixSeparator + localName;
}

bool IsValidQualifiedName(const QString& qualifiedName)
{
    const qsizetype separator = qualifiedName.indexOf(kPrefixSeparator);
    if (separator < 0) {
        return IsValidNamePart(qualifiedName);
    }
    return IsValidNamePart(QStringView(qualifiedName).left(separator))
           && IsValidNamePart(QStringView(qualifiedName).mid(separator + 1));
}

bool IsNamespaceDeclarationName(const QString& qualifiedName)
{
    return qualifiedName == kXmlnsName || PrefixOf(qualifiedName) == kXmlnsName;
}
