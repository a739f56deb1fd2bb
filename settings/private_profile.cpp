#include "settings/private_profile.h"

#include "settings/profile_write_error.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

#include <optional>

namespace {

// The lines of a settings file, each without its line end, and the line end the file uses.
struct ProfileLines {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
};

// The file's lines; nothing when the file exists but cannot be read, with why in `problem` when it is given. A
// missing file has no lines.
std::optional<ProfileLines> ReadLines(const QString& path, QString* problem = nullptr)
{
    ProfileLines profile;
    QFile file(path);
    if (!file.exists()) {
        return profile;
    }
    // Only a regular file is read: a FIFO or a device there would hold the program up for good.
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        if (problem != nullptr) {
            *problem = info.isDir()    ? QStringLiteral("it is a folder")
                       : info.isFile() ? file.errorString()
                                       : QStringLiteral("it is not a regular file");
        }
        return std::nullopt;
    }
    const QString text = QString::fromUtf8(file.readAll());
    if (text.isEmpty()) {
        return profile;
    }
    if (text.contains(QStringLiteral("\r\n"))) {
        profile.lineEnd = QStringLiteral("\r\n");
    }
    profile.lines = text.split(u'\n');
    if (profile.lines.last().isEmpty()) {
        profile.lines.removeLast();  // the text ended with a line end
    }
    for (QString& line : profile.lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return profile;
}

// The name of a "[Section]" line, or nothing for any other line.
std::optional<QString> SectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = trimmed.indexOf(u']');
    return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

bool IsComment(const QString& line)
{
    return line.trimmed().startsWith(u';');
}

// The key of a "key=value" line, or nothing.
std::optional<QString> KeyName(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || IsComment(line)) {
        return std::nullopt;
    }
    return line.left(equals).trimmed();
}

QString ValueOf(const QString& line)
{
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section's lines are: the index of its header line and one past its last line.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange FindSection(const QStringList& lines, const QString& section)
{
    SectionRange range;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const std::optional<QString> name = SectionName(lines[index]);
        if (!name) {
            continue;
        }
        if (range.header >= 0) {
            range.end = index;
            return range;
        }
        if (SameName(*name, section)) {
            range.header = index;
        }
    }
    if (range.header >= 0) {
        range.end = lines.size();
    }
    return range;
}

qsizetype FindKey(const QStringList& lines, const SectionRange& range, const QString& key)
{
    for (qsizetype index = range.header + 1; index < range.end; ++index) {
        const std::optional<QString> name = KeyName(lines[index]);
        if (name && SameName(*name, key)) {
            return index;
        }
    }
    return -1;
}

// Sets the key's line in the lines of the file, adding the section or the key where missing.
void SetKeyLine(QStringList& lines, const QString& section, const QString& key, const QString& value)
{
    const QString keyLine = key + u'=' + value;
    const SectionRange range = FindSection(lines, section);
    if (range.header < 0) {
        lines.append(u'[' + section + u']');
        lines.append(keyLine);
        return;
    }
    const qsizetype existing = FindKey(lines, range, key);
    if (existing >= 0) {
        lines[existing] = keyLine;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next section stays.
    qsizetype insertAt = range.end;
    while (insertAt > range.header + 1 && lines[insertAt - 1].trimmed().isEmpty()) {
        --insertAt;
    }
    lines.insert(insertAt, keyLine);
}

// Writes `text` into a new file beside the symbolic link `path` and renames it over the link, which it
// replaces; the file the link leads to stays as it was. False when the file cannot be written.
bool ReplaceLink(const QString& path, const QByteArray& text)
{
    const QFileInfo link(path);
    QTemporaryFile file(link.absolutePath() + QStringLiteral("/.") + link.fileName() + QStringLiteral("-XXXXXX"));
    if (!file.open() || file.write(text) != text.size() || !file.flush() || ::fsync(file.handle()) != 0
        || ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

}  // namespace

QString ReadProfileString(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
                          qsizetype maxLength)
{
    const ProfileLines profile = ReadLines(path).value_or(ProfileLines());
    const SectionRange range = FindSection(profile.lines, section);
    if (range.header < 0) {
        return defaultValue.left(maxLength);
    }
    const qsizetype line = FindKey(profile.lines, range, key);
    if (line < 0) {
        return defaultValue.left(maxLength);
    }
    return ValueOf(profile.lines[line]).left(maxLength);
}

void WriteProfileString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    const QString failure = QStringLiteral("Unable to write to %1").arg(path);
    // A file that exists but cannot be read is not rewritten: its other lines would be lost.
    std::optional<ProfileLines> profile = ReadLines(path);
    if (!profile) {
        throw ProfileWriteError(failure);
    }
    // A value is one line of the file: a line break in it would start a line of its own, so the
    // value ends where its first line does.
    const QString firstLine = value.left(value.indexOf(QRegularExpression(QStringLiteral("[\r\n]"))));
    SetKeyLine(profile->lines, section, key, firstLine);

    QByteArray text;
    for (const QString& line : profile->lines) {
        text += (line + profile->lineEnd).toUtf8();
    }
    // A symbolic link is replaced by the file, never written through: it may lead anywhere.
    if (QFileInfo(path).isSymLink()) {
        if (!ReplaceLink(path, text)) {
            throw ProfileWriteError(failure);
        }
        return;
    }
    // Written beside the file and moved into place when complete, so a failed write keeps the
    // old content; in a folder that takes no new files, the file itself is rewritten.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        throw ProfileWriteError(failure);
    }
}

QString ProfileReadProblem(const QString& path)
{
    QString problem;
    ReadLines(path, &problem);
    return problem;
}
