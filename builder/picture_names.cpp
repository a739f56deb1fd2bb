#include "builder/picture_names.h"

#include "builder/style_sheet.h"
#include "common/ascii_case.h"
#include "common/file_name.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <string_view>

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

class NameRegistry {
public:
    NameRegistry(int pageCount, bool withCover)
    {
        for (int page = 1; page <= pageCount; ++page) {
            Reserve(QStringLiteral("page") + QString::number(page) + QStringLiteral(".html"));
        }
        if (withCover) {
            Reserve(QStringLiteral("cover.html"));
        }
        Reserve(QStringLiteral("fb.opf"));
        Reserve(QStringLiteral("fb.ncx"));
        Reserve(kStyleSheetName);
    }

    QString NameFor(const QString& path)
    {
        const QString wanted = SafeInBook(WithoutLeadingDots(FileNamePart(path)));
        if (wanted.isEmpty()) {
            return wanted;  // nothing to copy under an empty name; the page still refers to it
        }
        QString name = wanted;
        for (int number = 2; IsTakenByOther(name, path); ++number) {
            name = NumberedName(wanted, number);
        }
        ownerByName_.insert(FoldAsciiCase(name), path);
        return name;
    }

private:
    void Reserve(const QString& name) { ownerByName_.insert(FoldAsciiCase(name), QString()); }

    bool IsTakenByOther(const QString& name, const QString& path) const
    {
        const auto owner = ownerByName_.constFind(FoldAsciiCase(name));
        if (owner == ownerByName_.constEnd()) {
            return false;
        }
        // The full paths are compared only when two names meet, which is seldom.
        return owner->isEmpty() || (*owner != path && SourceKey(*owner) != SourceKey(path));
    }

    // Each name in use, with the path of the picture that owns it (empty for a file the conversion
    // writes).
    QHash<QString, QString> ownerByName_;
};

}  // namespace

PictureNames AssignPictureNames(const QStringList& rowPaths, const QString& coverPath,
                                const std::function<void()>& pause)
{
    constexpr qsizetype kNamesBetweenPauses = 1024;
    const bool withCover = !coverPath.isEmpty();
    NameRegistry registry(static_cast<int>(rowPaths.size()), withCover);
    PictureNames names;
    for (const QString& path : rowPaths) {
        names.pageNames.append(registry.NameFor(path));
        if (pause && names.pageNames.size() % kNamesBetweenPauses == 0) {
            pause();
        }
    }
    if (withCover) {
        names.coverName = registry.NameFor(coverPath);
    }
    return names;
}
