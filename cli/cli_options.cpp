#include "cli/cli_options.h"

#include "builder/workflow/book_formats.h"
#include "settings/book_details.h"

#include <QCommandLineParser>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QCommandLineOption kTitle(QStringList{QStringLiteral("t"), QStringLiteral("title")}, QString(),
                                QStringLiteral("TITLE"));
const QCommandLineOption kAuthor(QStringList{QStringLiteral("a"), QStringLiteral("author")}, QString(),
                                 QStringLiteral("AUTHOR"));
const QCommandLineOption kCover(QStringList{QStringLiteral("c"), QStringLiteral("cover")}, QString(),
                                QStringLiteral("COVER"));
const QCommandLineOption kOutput(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                 QStringLiteral("FOLDER"));
const QCommandLineOption kLanguage(QStringLiteral("language"), QString(), QStringLiteral("TAG"));
const QCommandLineOption kSeries(QStringLiteral("series"), QString(), QStringLiteral("NAME"));
const QCommandLineOption kNumber(QStringLiteral("number"), QString(), QStringLiteral("N"));
const QCommandLineOption kList(QStringList{QStringLiteral("l"), QStringLiteral("list")}, QString(),
                               QStringLiteral("FILE"));
const QCommandLineOption kYes(QStringLiteral("y"));
const QCommandLineOption kQuiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")});
const QCommandLineOption kLayout(QStringLiteral("layout"), QString(), QStringLiteral("KIND"));
const QCommandLineOption kRightToLeft(QStringLiteral("right-to-left"));
const QCommandLineOption kLeftToRight(QStringLiteral("left-to-right"));
const QCommandLineOption kStaging(QStringLiteral("staging"), QString(), QStringLiteral("DIR"));
const QCommandLineOption kHelp(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersion(QStringLiteral("version"));

// The words that name the kinds of book, "flowing|fixed".
QString LayoutWords()
{
    QStringList words;
    for (const BookFormat* format : AllBookFormats()) {
        words << format->Key();
    }
    return words.join(u'|');
}

// Each kind of book with what it is, a line or more each, in the layout of the usage text.
QString LayoutDescriptions()
{
    constexpr qsizetype kIndent = 17;
    constexpr qsizetype kWidth = 98;
    QString text;
    for (const BookFormat* format : AllBookFormats()) {
        QString line = QString(kIndent, u' ') + format->Key().leftJustified(9);
        for (const QString& word : (format->Label() + QStringLiteral(": ") + format->Description()).split(u' ')) {
            if (line.size() + 1 + word.size() > kWidth && line.size() > kIndent + 9) {
                text += line + u'\n';
                line = QString(kIndent + 9, u' ');
            } else if (!line.endsWith(u' ')) {
                line += u' ';
            }
            line += word;
        }
        text += line + u'\n';
    }
    return text;
}

}  // namespace

QString CliUsage()
{
    return QStringLiteral(
               "Usage: tamboril-cli [-t TITLE] [-a AUTHOR] [-c COVER] [-o FOLDER] [-y] [-q] [--staging DIR]\n"
               "                   [--language TAG] [--series NAME --number N] [--layout %1]\n"
               "                   [--right-to-left|--left-to-right] [-l LIST] PICTURE|FOLDER...\n"
               "Turns pictures into a book, one picture per page, in the order given.\n"
               "\n"
               "  -t, --title TITLE\n"
               "                 the book's title; the book is written as TITLE.epub (default: the\n"
               "                 list's title; for one FOLDER and nothing else, the folder's name)\n"
               "  -a, --author AUTHOR\n"
               "                 the author's name\n"
               "  -c, --cover COVER\n"
               "                 a picture for the cover\n"
               "  -o, --output FOLDER\n"
               "                 the output folder (default: the one the window saved in config.ini)\n"
               "  --language TAG the book's language, a BCP 47 tag such as en, pt-BR or zh-Hant (default:\n"
               "                 the one the window saved, else the system's, else en)\n"
               "  --series NAME  the series the book belongs to\n"
               "  --number N     the book's number in the series, such as 3 or 3.5\n"
               "  -l, --list LIST\n"
               "                 a page list file, as the window's Save List writes it: its pictures are\n"
               "                 the first pages, and its title, author, language, series, number,\n"
               "                 cover and kind of book apply wherever the options give none\n"
               "  -y             replace an existing book without asking\n"
               "  -q, --quiet    show no progress line on the terminal\n"
               "  --staging DIR  stage the book's files in DIR and keep them there (default: nothing is\n"
               "                 staged; the book is packed straight from the pictures)\n"
               "  --layout %1\n"
               "                 the kind of book (default: the one the window saved, else %2):\n"
               "%3"
               "  --right-to-left, --left-to-right\n"
               "                 the reading direction (default: the saved one, else left to right);\n"
               "                 right to left pairs facing pages as manga do (fixed books)\n"
               "  --help         show this text\n"
               "  --version      show the program's version\n"
               "\n"
               "Pictures are known by their content, whatever their names say. JPEG, PNG and GIF pictures go\n"
               "into the book as they are, photos turned upright as their cameras marked them (losslessly where\n"
               "the size allows); HEIC/HEIF, AVIF and lossy WebP become JPEG, TIFF, BMP and lossless WebP PNG.\n"
               "A GIF gives its first frame, a TIFF its first page; animated WebP is refused. A file that is no\n"
               "picture, or a picture cut short or damaged, fails the run, named, and no book is written.\n"
               "A FOLDER adds the pictures in it (.jpg .jpeg .jpe .jfif .png .gif .heic .heif .hif .avif .webp\n"
               ".tif .tiff .bmp, in any case), in natural order (page2 before page10).\n"
               "A page list file is UTF-8 text: the line \"Tamboril page list\", header lines such as\n"
               "\"Title: The Saga\" (Title, Author, Language, Series, Number, Cover, Layout, Reading direction),\n"
               "an empty line, then one picture's path a line; a path that is not absolute is taken from the\n"
               "list's folder. A file of paths alone is a list too.\n")
        .arg(LayoutWords(), DefaultBookFormat().Key(), LayoutDescriptions());
}

std::optional<CliOptions> ParseCliOptions(const QStringList& arguments, QString& error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kTitle, kAuthor, kCover, kOutput, kYes, kQuiet, kLayout, kRightToLeft, kLeftToRight, kStaging,
                       kLanguage, kSeries, kNumber, kList, kHelp, kVersion});
    if (!parser.parse(QStringList{QStringLiteral("tamboril-cli")} + arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    CliOptions options;
    if (parser.isSet(kHelp)) {
        options.action = CliOptions::Action::ShowHelp;
        return options;
    }
    if (parser.isSet(kVersion)) {
        options.action = CliOptions::Action::ShowVersion;
        return options;
    }
    options.settings.title = parser.value(kTitle);
    options.settings.author = parser.value(kAuthor);
    options.settings.coverPath = parser.value(kCover);
    options.settings.outputFolder = parser.value(kOutput);
    options.outputFolderGiven = parser.isSet(kOutput);
    options.replaceWithoutAsking = parser.isSet(kYes);
    options.quiet = parser.isSet(kQuiet);
    options.stagingFolder = parser.value(kStaging);
    options.settings.language = parser.value(kLanguage);
    options.settings.series = parser.value(kSeries);
    options.settings.seriesNumber = parser.value(kNumber);
    options.listFile = parser.value(kList);
    if (parser.isSet(kLanguage) && !LanguageTagProblem(options.settings.language).isEmpty()) {
        error = QStringLiteral("The language '%1' %2.")
                    .arg(options.settings.language, LanguageTagProblem(options.settings.language));
        return std::nullopt;
    }
    if (parser.isSet(kNumber) && !IsSeriesNumber(options.settings.seriesNumber)) {
        error = QStringLiteral("The number '%1' is no number in a series: give one such as 3 or 3.5.")
                    .arg(options.settings.seriesNumber);
        return std::nullopt;
    }
    if (parser.isSet(kLayout)) {
        const QString layout = parser.value(kLayout);
        options.format = BookFormatNamed(layout);
        if (options.format == nullptr) {
            error = QStringLiteral("Unknown layout '%1': use %2.")
                        .arg(layout, LayoutWords().replace(u'|', QStringLiteral(" or ")));
            return std::nullopt;
        }
    }
    if (parser.isSet(kRightToLeft) && parser.isSet(kLeftToRight)) {
        error = QStringLiteral("Give --right-to-left or --left-to-right, not both.");
        return std::nullopt;
    }
    if (parser.isSet(kRightToLeft)) {
        options.direction = ReadingDirection::RightToLeft;
    } else if (parser.isSet(kLeftToRight)) {
        options.direction = ReadingDirection::LeftToRight;
    }
    options.pictureArguments = parser.positionalArguments();
    if (options.pictureArguments.isEmpty() && options.listFile.isEmpty()) {
        error = QStringLiteral("No picture, folder or page list given.");
        return std::nullopt;
    }
    return options;
}

QStringList UndecodableArguments(int argc, char** argv)
{
    QStringList undecodable;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError()) {
            undecodable << text;
        }
    }
    return undecodable;
}

bool IsUndecodedArgument(const QString& value, const QStringList& undecodableArguments)
{
    if (!value.contains(QChar::ReplacementCharacter)) {
        return false;
    }
    return std::any_of(undecodableArguments.cbegin(), undecodableArguments.cend(),
                       [&](const QString& argument) { return argument.endsWith(value); });
}
