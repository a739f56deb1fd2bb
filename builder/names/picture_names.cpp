#include "builder/names/picture_names.h"

#include "common/ascii_case.h"
#include "common/file_name.h"
#include "pictures/picture_kind.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <new>
#include <string_view>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace {

// The same picture reached by two spellings of its path still counts as one picture.
QString SourceKey(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString WithoutLeadingDots(const QString& name)
{
    qsizetype dots = 0;
    while (dots < name.size() && name[dots] == u'.') {
        ++dots;
    }
    return name.mid(dots);
}

// A character that no file name in a book may hold: controls; what the container format forbids
// because it separates or matches names on some systems, or cannot be seen; and "#", which
// readers that decode a URL before looking for its fragment take as the start of one, however
// it is encoded.
bool IsForbiddenInBook(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
        return true;
    }
    if (c < 0x80) {
        constexpr std::string_view kForbiddenAscii = "\\\"*:<>?|^`{}#";
        return kForbiddenAscii.find(static_cast<char>(c)) != std::string_view::npos;
    }
    const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
    const bool nonCharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
    const bool special = (c >= 0xFFF0 && c <= 0xFFFF) || (c >= 0xE0000 && c <= 0xE0FFF);
    return privateUse || nonCharacter || special;
}

// The name with every forbidden character, and a full stop at its end, replaced by "_".
QString SafeInBook(const QString& name)
{
    QString safe = name;
    for (qsizetype i = 0; i < safe.size(); ++i) {
        const bool pair = safe[i].isHighSurrogate() && i + 1 < safe.size() && safe[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(safe[i], safe[i + 1]) : safe[i].unicode();
        if (IsForbiddenInBook(c)) {
            safe.replace(i, pair ? 2 : 1, u'_');
        } else if (pair) {
            ++i;
        }
    }
    if (safe.endsWith(u'.')) {
        safe.back() = u'_';
    }
    // A space that begins or ends the name, or follows another space, becomes "_" too: checkers read the name in
    // the package document as a URI, whose spaces they collapse, and would then look for another file.
    for (qsizetype i = 0; i < safe.size(); ++i) {
        if (safe[i] == u' ' && (i == 0 || i == safe.size() - 1 || safe[i - 1] == u' ')) {
            safe[i] = u'_';
        }
    }
    return safe;
}

// name-2.jpg for name.jpg and n = 2; the number goes before the extension.
QString NumberedName(const QString& name, int number)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    return stem + u'-' + QString::number(number) + extension;
}

// The extensions that name each kind of picture a book holds, as a book's pictures are named.
bool ExtensionNamesBookKind(const QString& extension, PictureKind bookKind)
{
    const auto is = [&extension](const char* name) {
        return extension.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    switch (bookKind) {
    case PictureKind::Png:
        return is("png");
    case PictureKind::Gif:
        return is("gif");
    default:
        return is("jpg") || is("jpeg");
    }
}

// Whether people name pictures of some kind with this extension.
bool IsPictureExtension(const QString& extension)
{
    const QStringList patterns = PictureNamePatterns();
    return std::any_of(patterns.cbegin(), patterns.cend(), [&extension](const QString& pattern) {
        return QStringView(pattern).mid(2).compare(extension, Qt::CaseInsensitive) == 0;
    });
}

}  // namespace

// Where two names in a book are one name: equal after canonical decomposition, full Unicode case folding
// ("Straße" and "STRASSE" are one) and canonical decomposition again, as the container format compares them.
// Names of ASCII characters alone, the usual ones, only need their letters folded.
QString CaselessKey(const QString& name)
{
    if (std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        return FoldAsciiCase(name);
    }
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    const auto* source = reinterpret_cast<const UChar*>(decomposed.utf16());
    const auto sourceLength = static_cast<int32_t>(decomposed.size());
    UErrorCode status = U_ZERO_ERROR;
    // Full folding may make a name longer: the first call measures it.
    const int32_t length = u_strFoldCase(nullptr, 0, source, sourceLength, U_FOLD_CASE_DEFAULT, &status);
    QString folded(length, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    u_strFoldCase(reinterpret_cast<UChar*>(folded.data()), length, source, sourceLength, U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) {
        // Folding a name can fail only for want of memory.
        throw std::bad_alloc();
    }
    return folded.normalized(QString::NormalizationForm_D);
}

QString NameForKind(const QString& fileName, PictureKind kind)
{
    const PictureKind bookKind = BookKind(kind);
    // A name has an extension only when something other than full stops stands before it: "..jpg", like ".jpg",
    // is a hidden name without one, and keeps its text before the extension is added.
    qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot > 0 && QStringView(fileName).left(dot).count(u'.') == dot) {
        dot = -1;
    }
    const QString extension = dot > 0 ? fileName.mid(dot + 1) : QString();
    if (dot > 0 && ExtensionNamesBookKind(extension, bookKind)) {
        return fileName;
    }
    const bool replaced = dot > 0 && (extension.isEmpty() || IsPictureExtension(extension));
    return (replaced ? fileName.left(dot) : fileName) + BookExtension(bookKind);
}

QStringList PagePictureFiles(const PictureNames& names)
{
    QStringList files;
    QSet<QString> listed;
    if (!names.coverName.isEmpty()) {
        listed.insert(names.coverName);
    }
    for (const QString& name : names.pageNames) {
        if (!listed.contains(name)) {
            listed.insert(name);
            files.append(name);
        }
    }
    return files;
}

PictureNameRegistry::PictureNameRegistry(const QStringList& reserved, PageDocumentTest isPageDocument)
    : isPageDocument_(std::move(isPageDocument))
{
    for (const QString& name : reserved) {
        ownerByKey_.insert(CaselessKey(name), QString());
    }
}

QString PictureNameRegistry::NameFor(const QString& path, const QString& fileName)
{
    const QString wanted = SafeInBook(WithoutLeadingDots(fileName.normalized(QString::NormalizationForm_C)));
    if (wanted.isEmpty()) {
        return wanted;  // nothing to copy under an empty name; the page still refers to it
    }
    QString name = wanted;
    QString key = CaselessKey(name);
    for (int number = 2; IsTakenByOther(key, path); ++number) {
        name = NumberedName(wanted, number);
        key = CaselessKey(name);
    }
    ownerByKey_.insert(key, path);
    return name;
}

bool PictureNameRegistry::IsTakenByOther(const QString& key, const QString& path) const
{
    if (isPageDocument_ && isPageDocument_(key)) {
        return true;
    }
    const auto owner = ownerByKey_.constFind(key);
    if (owner == ownerByKey_.constEnd()) {
        return false;
    }
    // The full paths are compared only when two names meet, which is seldom.
    return owner->isEmpty() || (*owner != path && SourceKey(*owner) != SourceKey(path));
}
