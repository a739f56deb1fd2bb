#include "cli/picture_arguments.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

// Natural order: runs of digits compare by value, other text without regard to case, so that
// page2 comes before page10 and Page1 before page2. Names equal that way keep a fixed order.
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

QStringList PicturesInFolder(const QString& folder)
{
    const QStringList patterns = {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")};
    QDir dir(folder);
    dir.setNameFilters(patterns);
    // Regular files and links to them; hidden ones stay out.
    QStringList names = dir.entryList(QDir::Files, QDir::Unsorted);

    std::sort(names.begin(), names.end(), NaturalLess);

    QStringList paths;
    for (const QString& name : names) {
        paths.append(dir.absoluteFilePath(name));
    }
    return paths;
}

}  // namespace

QStringList ExpandPictureArguments(const QStringList& arguments)
{
    QStringList pictures;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            pictures += PicturesInFolder(argument);
        } else {
            pictures.append(info.absoluteFilePath());
        }
    }
    return pictures;
}
