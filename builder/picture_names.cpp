#include "builder/picture_names.h"

#include "builder/file_names.h"

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
    }

    QString NameFor(const QString& path)
    {
        const QString wanted = WithoutLeadingDots(FileNamePart(path));
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
