#include "pictures/picture_files.h"

#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace {

// The run of digits, or of other characters, that starts at `position`.
QStringView RunAt(const QString& text, qsizetype position)
{
    const bool digits = text[position].isDigit();
    qsizetype end = position;
    while (end < text.size() && text[end].isDigit() == digits) {
        ++end;
    }
    return QStringView(text).mid(position, end - position);
}

// Compares two runs of digits by their value, however many leading zeros they have.
int CompareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0') {
        a = a.mid(1);
    }
    while (b.size() > 1 && b.front() == u'0') {
        b = b.mid(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

bool IsValidUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// A regular file, or a link to one.
bool IsRegularFile(const QByteArray& path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool HasPictureName(const QString& name)
{
    static const QStringList patterns = PictureNamePatterns();
    return std::any_of(patterns.cbegin(), patterns.cend(), [&name](const QString& pattern) {
        // "*.jpg" gives ".jpg"
        return name.endsWith(QStringView(pattern).mid(1), Qt::CaseInsensitive);
    });
}

bool NaturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView runA = RunAt(a, i);
        const QStringView runB = RunAt(b, j);
        const bool numbers = runA.front().isDigit() && runB.front().isDigit();
        const int order = numbers ? CompareNumbers(runA, runB) : runA.compare(runB, Qt::CaseInsensitive);
        if (order != 0) {
            return order < 0;
        }
        i += runA.size();
        j += runB.size();
    }
    if (i < a.size() || j < b.size()) {
        return j < b.size();
    }
    return a < b;
}

FolderPictures PicturesInFolder(const QString& folder)
{
    FolderPictures found;
    const QString base = QFileInfo(folder).absoluteFilePath() + u'/';
    // The listing is read as bytes, so that a name that is not UTF-8 is seen rather than skipped.
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(QFile::encodeName(base).constData()), ::closedir);
    if (!listing) {
        return found;
    }
    QStringList names;
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        const QString decoded = QString::fromUtf8(name);
        if (name.startsWith('.') || !HasPictureName(decoded) || !IsRegularFile(QFile::encodeName(base) + name)) {
            continue;
        }
        (IsValidUtf8(name) ? names : found.undecodable).append(decoded);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    std::sort(found.undecodable.begin(), found.undecodable.end(), NaturalLess);
    for (const QString& name : std::as_const(names)) {
        found.paths.append(base + name);
    }
    for (QString& name : found.undecodable) {
        name.prepend(base);
    }
    return found;
}

FolderPictures PicturesNamedBy(const QStringList& arguments)
{
    FolderPictures named;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            const FolderPictures folder = PicturesInFolder(argument);
            named.paths << folder.paths;
            named.undecodable << folder.undecodable;
        } else {
            named.paths << info.absoluteFilePath();
        }
    }
    return named;
}

CheckedPictures CheckPictures(const QStringList& paths)
{
    CheckedPictures checked;
    for (const QString& path : paths) {
        try {
            InspectPictureFile(path);
            checked.accepted.append(path);
        } catch (const PictureError& error) {
            checked.refused.append(QStringLiteral("%1 (%2)").arg(path, error.Text()));
        }
    }
    return checked;
}
