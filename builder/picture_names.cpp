#include "builder/picture_names.h"

#include "builder/file_names.h"
#include "builder/style_sheet.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// Names compare as the book's readers and the archive compare them: ASCII letters without case.
QString NameKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return key;
}

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
    constexpr QLatin1StringView kForbiddenAscii("\\\"*:<>?|^`{}#");
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
        return true;
    }
    if (c < 0x80) {
        return kForbiddenAscii.contains(QLatin1Char(static_cast<char>(c)));
    }
    const bool privateUse = (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
    const bool nonCharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
    const bool special = (c >= 0xFFF0 && c <= 0xFFFF) || (c >= 0xE0000 && c <= 0xE0FFF);
    return privateUse || nonCharacter || special;
}

// The name with every forbidden character, and a full stop at its end, replaced by "_".
QString SafeInBook(const QString& name)
{
    QList<uint> characters = name.toUcs4();
    for (uint& c : characters) {
        if (IsForbiddenInBook(c)) {
            c = u'_';
        }
    }
    if (!characters.isEmpty() && characters.last() == u'.') {
        characters.last() = u'_';
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size());
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
            Reserve(QStringLiteral("page%1.html").arg(page));
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
        const QString source = SourceKey(path);
        QString name = wanted;
        for (int number = 2; IsTakenByOther(name, source); ++number) {
            name = NumberedName(wanted, number);
        }
        ownerByName_.insert(NameKey(name), source);
        return name;
    }

private:
    void Reserve(const QString& name) { ownerByName_.insert(NameKey(name), QString()); }

    bool IsTakenByOther(const QString& name, const QString& source) const
    {
        const auto owner = ownerByName_.constFind(NameKey(name));
        return owner != ownerByName_.constEnd() && *owner != source;
    }

    // Each name in use, with the picture that owns it (empty for a document of the conversion).
    QHash<QString, QString> ownerByName_;
};

}  // namespace

PictureNames AssignPictureNames(const QStringList& rowPaths, const QString& coverPath)
{
    const bool withCover = !coverPath.isEmpty();
    NameRegistry registry(static_cast<int>(rowPaths.size()), withCover);
    PictureNames names;
    for (const QString& path : rowPaths) {
        names.pageNames.append(registry.NameFor(path));
    }
    if (withCover) {
        names.coverName = registry.NameFor(coverPath);
    }
    return names;
}
