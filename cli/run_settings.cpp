#include "cli/run_settings.h"

#include "builder/workflow/book_formats.h"

#include "settings/book_details.h"
#include "settings/book_list_file.h"
#include "settings/language_setting.h"

#include <QDir>
#include <QFileInfo>

namespace {

void FillIfEmpty(QString& value, const QString& fallback)
{
    if (value.isEmpty()) {
        value = fallback;
    }
}

}  // namespace

CliOptions WithPageList(const CliOptions& options)
{
    if (options.listFile.isEmpty()) {
        return options;
    }
    const BookList list = ReadBookList(options.listFile);
    if (!list.language.isEmpty() && !LanguageTagProblem(list.language).isEmpty()) {
        throw BookListError(QStringLiteral("The language '%1' of the page list %2 %3")
                                .arg(list.language, options.listFile, LanguageTagProblem(list.language)));
    }
    if (!list.number.isEmpty() && !IsSeriesNumber(list.number)) {
        throw BookListError(QStringLiteral("The number '%1' of the page list %2 is no number in a series")
                                .arg(list.number, options.listFile));
    }
    CliOptions taken = options;
    BookSettings& settings = taken.settings;
    FillIfEmpty(settings.title, list.title);
    FillIfEmpty(settings.author, list.author);
    FillIfEmpty(settings.coverPath, list.cover);
    FillIfEmpty(settings.language, list.language);
    FillIfEmpty(settings.series, list.series);
    FillIfEmpty(settings.seriesNumber, list.number);
    if (options.format == nullptr && !list.layout.isEmpty()) {
        taken.format = BookFormatNamed(list.layout);
        if (taken.format == nullptr) {
            throw BookListError(QStringLiteral("The layout '%1' of the page list %2 names no kind of book")
                                    .arg(list.layout, options.listFile));
        }
    }
    taken.direction = options.direction ? options.direction : list.direction;
    taken.pictureArguments = list.pictures + options.pictureArguments;
    return taken;
}

QString ChosenLanguage(const CliOptions& options, const QString& configIni)
{
    if (!options.settings.language.isEmpty()) {
        return options.settings.language;
    }
    const QString saved = ReadLanguageSetting(configIni);
    return saved.isEmpty() ? DefaultLanguageTag() : saved;
}

QString TitleFromArguments(const CliOptions& options)
{
    if (!options.listFile.isEmpty() || options.pictureArguments.size() != 1
        || !QFileInfo(options.pictureArguments.first()).isDir()) {
        return {};
    }
    // "books/Saga/", ".", "..": the folder's own name, as the file manager shows it.
    return QFileInfo(QDir::cleanPath(QFileInfo(options.pictureArguments.first()).absoluteFilePath())).fileName();
}

QString OptionForMissingSetting(const BookSettings& settings)
{
    if (settings.outputFolder.isEmpty()) {
        return QStringLiteral(" (use -o or --output)");
    }
    if (settings.title.isEmpty()) {
        return QStringLiteral(" (use -t or --title)");
    }
    if (settings.author.isEmpty()) {
        return QStringLiteral(" (use -a or --author)");
    }
    return {};
}
