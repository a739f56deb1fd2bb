#include "settings/book_list_file.h"

#include "settings/book_layout_setting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QString kFirstLine = QStringLiteral("Tamboril page list");
constexpr qint64 kLargestListBytes = 64LL * 1024 * 1024;

// One header line's name and the detail of the list it holds.
struct HeaderField {
    QString name;
    QString BookList::*value;
};

const HeaderField kTextFields[] = {
    {QStringLiteral("Title"), &BookList::title},       {QStringLiteral("Author"), &BookList::author},
    {QStringLiteral("Language"), &BookList::language}, {QStringLiteral("Series"), &BookList::series},
    {QStringLiteral("Number"), &BookList::number},     {QStringLiteral("Cover"), &BookList::cover},
};
const QString kLayoutName = QStringLiteral("Layout");
const QString kDirectionName = QStringLiteral("Reading direction");

bool HoldsLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

QString WrittenPath(const QString& path, const QString& listFolder)
{
    if (!listFolder.isEmpty() && path.startsWith(listFolder + u'/') && path.size() > listFolder.size() + 1) {
        return path.mid(listFolder.size() + 1);
    }
    return path;
}

QString ReadPath(const QString& path, const QString& listFolder)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path) || listFolder.isEmpty()) {
        return path;
    }
    return QDir::cleanPath(listFolder + u'/' + path);
}

[[noreturn]] void ThrowLineError(qsizetype index, const QString& line, const QString& what)
{
    throw BookListError(QStringLiteral("line %1 (%2) %3").arg(index + 1).arg(line, what));
}

// Takes one header line into `list`.
void ReadHeaderLine(BookList& list, qsizetype index, const QString& line, const QString& listFolder)
{
    const qsizetype colon = line.indexOf(u':');
    const QString name = line.left(colon).trimmed();
    const QString value = line.mid(colon + 1).trimmed();
    const auto is = [&name](const QString& known) { return name.compare(known, Qt::CaseInsensitive) == 0; };
    if (colon < 0) {
        ThrowLineError(index, line, QStringLiteral("is neither \"Name: value\" nor the empty line after them"));
    }
    for (const HeaderField& field : kTextFields) {
        if (is(field.name)) {
            list.*field.value = field.value == &BookList::cover ? ReadPath(value, listFolder) : value;
            return;
        }
    }
    if (is(kLayoutName)) {
        // Which kinds of book there are is the program's to say: the word is taken as it stands.
        list.layout = value;
        return;
    }
    if (is(kDirectionName)) {
        list.direction = value.isEmpty() ? std::nullopt : ReadingDirectionNamed(value);
        if (!value.isEmpty() && !list.direction) {
            ThrowLineError(index, line, QStringLiteral("names no direction: use left-to-right or right-to-left"));
        }
        return;
    }
    ThrowLineError(index, line,
                   QStringLiteral("has a name Tamboril does not know: use Title, Author, Language, Series, Number, "
                                  "Cover, Layout or Reading direction"));
}

}  // namespace

QByteArray BookListText(const BookList& list, const QString& listFolder)
{
    QStringList lines = {kFirstLine};
    const auto header = [&lines](const QString& name, const QString& value) {
        if (HoldsLineBreak(value)) {
            throw BookListError(
                QStringLiteral("The %1 holds a line break, which a page list cannot keep").arg(name.toLower()));
        }
        lines << (value.isEmpty() ? name + u':' : name + QStringLiteral(": ") + value);
    };
    for (const HeaderField& field : kTextFields) {
        const QString& value = list.*field.value;
        header(field.name, field.value == &BookList::cover ? WrittenPath(value, listFolder) : value);
    }
    header(kLayoutName, list.layout);
    header(kDirectionName, list.direction ? ReadingDirectionName(*list.direction) : QString());
    QByteArray text = (lines.join(u'\n') + QStringLiteral("\n\n")).toUtf8();
    for (const QString& picture : list.pictures) {
        AppendBookListPicture(text, picture, listFolder);
    }
    return text;
}

void AppendBookListPicture(QByteArray& text, const QString& picture, const QString& listFolder)
{
    if (HoldsLineBreak(picture) || picture.trimmed().isEmpty()) {
        throw BookListError(
            QStringLiteral(
                "A page list cannot keep the name of the picture %1, which holds a line break or only blanks")
                .arg(picture));
    }
    text += WrittenPath(picture, listFolder).toUtf8();
    text += '\n';
}

BookList ParseBookList(const QByteArray& text, const QString& listFolder)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(text);
    if (utf8.hasError()) {
        throw BookListError(QStringLiteral("it is not UTF-8 text"));
    }
    QStringList lines = decoded.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    BookList list;
    qsizetype index = 0;
    if (!lines.isEmpty() && lines.first().trimmed().compare(kFirstLine, Qt::CaseInsensitive) == 0) {
        for (index = 1; index < lines.size() && !lines[index].trimmed().isEmpty(); ++index) {
            if (!lines[index].trimmed().startsWith(u'#')) {
                ReadHeaderLine(list, index, lines[index], listFolder);
            }
        }
    }
    for (; index < lines.size(); ++index) {
        if (!lines[index].trimmed().isEmpty()) {
            list.pictures << ReadPath(lines[index], listFolder);
        }
    }
    return list;
}

BookList ReadBookList(const QString& path)
{
    const auto fail = [&path](const QString& reason) {
        return BookListError(QStringLiteral("The page list %1 cannot be read: %2").arg(path, reason));
    };
    QFile file(path);
    // Only a regular file is read: a FIFO or a device there would hold the program up for good.
    if (!QFileInfo(path).isFile()) {
        throw fail(QFileInfo::exists(path) ? QStringLiteral("it is not a file")
                                           : QStringLiteral("there is no such file"));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw fail(file.errorString());
    }
    if (file.size() > kLargestListBytes) {
        throw fail(QStringLiteral("it is larger than any page list"));
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw fail(file.errorString());
    }
    try {
        return ParseBookList(text, QFileInfo(path).absolutePath());
    } catch (const BookListError& error) {
        throw fail(error.Text());
    }
}

void WriteBookListFile(const QString& path, const QByteArray& text)
{
    WriteBookListFile(path, [&text](QIODevice& file) { file.write(text); });
}

void WriteBookListFile(const QString& path, const std::function<void(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw BookListError(QStringLiteral("Unable to write to %1: %2").arg(path, file.errorString()));
    }
    write(file);
    // A write that failed on the way is remembered by the file, which then refuses to take the old one's place.
    if (!file.commit()) {
        throw BookListError(QStringLiteral("Unable to write to %1: %2").arg(path, file.errorString()));
    }
}
