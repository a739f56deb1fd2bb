// tamboril-cli: the conversion of the window, from the command line.

#include "builder/staging/staging_folder.h"
#include "builder/workflow/book_formats.h"
#include "builder/workflow/conversion.h"
#include "builder/workflow/conversion_error.h"
#include "cli/cli_options.h"
#include "cli/console_ui.h"
#include "cli/interruption.h"
#include "cli/run_settings.h"
#include "common/product.h"
#include "common/user_error.h"
#include "pictures/picture_files.h"
#include "settings/book_layout_setting.h"
#include "settings/book_list_file.h"
#include "settings/output_folder_setting.h"
#include "settings/private_profile.h"
#include "settings/profile_read_error.h"
#include "settings/program_places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// A run stopped by a signal ends as a shell reports a command the signal killed.
constexpr int kExitSignalBase = 128;

// The output folder the window saved in its config.ini (PlacesOfProgram); read, never written.
QString SavedOutputFolder(const ProgramPlaces& places)
{
    return ReadOutputFolderSetting(places.configIni);
}

void PrintError(const QString& text)
{
    QTextStream(stderr) << text << Qt::endl;
}

// The path with every symbolic link and "." or ".." of the part that exists resolved, and the rest as written, so
// that two spellings of one place compare equal.
QString CanonicalPath(const QString& path)
{
    // Qt would clean "link/.." away as text, where the system follows the link first.
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(
        std::filesystem::absolute(std::filesystem::path(QFile::encodeName(path).toStdString()), error), error);
    return error ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : QFile::decodeName(canonical.c_str());
}

// Whether `path` is `folder` or lies inside it, wherever symbolic links lead.
bool LiesIn(const QString& path, const QString& folder)
{
    const QString canonicalFolder = CanonicalPath(folder);
    const QString canonicalPath = CanonicalPath(path);
    return canonicalPath == canonicalFolder || canonicalPath.startsWith(canonicalFolder + u'/');
}

// What forbids staging in the chosen `stagingFolder`, which the conversion empties: a picture, or the output
// folder, inside it. Empty when nothing does.
QString ChosenStagingConflict(const QString& stagingFolder, const QStringList& pictures, const QString& outputFolder)
{
    for (const QString& picture : pictures) {
        if (LiesIn(picture, stagingFolder)) {
            return QStringLiteral("the picture %1 lies in the staging folder %2, which the conversion empties")
                .arg(picture, stagingFolder);
        }
    }
    if (LiesIn(outputFolder, stagingFolder)) {
        return QStringLiteral("the output folder %1 lies in the staging folder %2, which the conversion empties")
            .arg(outputFolder, stagingFolder);
    }
    return {};
}

// The option values among `options` that the command line gave as bytes that are not UTF-8, named for the person.
QStringList UndecodableOptions(const CliOptions& options, const QStringList& undecodableArguments)
{
    const QList<std::pair<QString, QString>> values = {{QStringLiteral("output folder"), options.settings.outputFolder},
                                                       {QStringLiteral("staging folder"), options.stagingFolder}};
    QStringList named;
    for (const auto& [name, value] : values) {
        if (IsUndecodedArgument(value, undecodableArguments)) {
            named << QStringLiteral("the %1 %2 is not valid UTF-8").arg(name, value);
        }
    }
    return named;
}

// Makes the book and says how it went: kExitSuccess once the book has taken its place, whatever comes after.
int Convert(const CliOptions& commandLine, const ProgramPlaces& places, const QStringList& undecodableArguments)
{
    const QStringList undecodable = UndecodableOptions(commandLine, undecodableArguments);
    if (!undecodable.isEmpty()) {
        PrintError(QStringLiteral("tamboril-cli: ") + undecodable.join(QStringLiteral("; ")));
        return kExitUsage;
    }
    CliOptions options;
    try {
        options = WithPageList(commandLine);
    } catch (const BookListError& error) {
        PrintError(QStringLiteral("tamboril-cli: ") + error.Text());
        return kExitFailure;
    }
    // The saved settings come from the window's config.ini: one that is there but cannot be read is named with why,
    // never taken for a missing one in silence.
    const QString unreadable = ProfileReadProblem(places.configIni);
    if (!unreadable.isEmpty()) {
        const QString problem =
            QStringLiteral("tamboril-cli: cannot read the settings file %1: %2").arg(places.configIni, unreadable);
        if (!options.outputFolderGiven) {
            PrintError(problem + QStringLiteral("; give the output folder with -o"));
            return kExitFailure;
        }
        PrintError(problem + QStringLiteral("; the saved kind of book and reading direction are not used"));
    }
    BookSettings settings = options.settings;
    settings.format =
        options.format != nullptr ? options.format : BookFormatNamed(ReadBookLayoutSetting(places.configIni));
    settings.direction = options.direction.value_or(ReadReadingDirectionSetting(places.configIni));
    settings.language = ChosenLanguage(options, places.configIni);
    if (settings.title.isEmpty()) {
        settings.title = TitleFromArguments(options);
    }
    if (!options.outputFolderGiven) {
        try {
            settings.outputFolder = SavedOutputFolder(places);
        } catch (const ProfileReadError& error) {
            PrintError(QStringLiteral("tamboril-cli: ") + error.Text());
            return kExitFailure;
        }
    }
    const QString missing = MissingSettingMessage(settings);
    if (!missing.isEmpty()) {
        PrintError(missing + OptionForMissingSetting(settings));
        return kExitFailure;
    }
    // Every picture is checked as it is staged, in the same pass as its copy, and one that cannot go into the
    // book fails the run before the book is written, named with the others. Those whose names are not UTF-8 go
    // with them, to be named alike: no file can be opened under such a name.
    const FolderPictures named = PicturesNamedBy(options.pictureArguments);
    const QStringList pictures = named.paths + named.undecodable;
    if (pictures.isEmpty()) {
        PrintError(QStringLiteral("tamboril-cli: no pictures found"));
        return kExitFailure;
    }
    if (!options.stagingFolder.isEmpty()) {
        const QString conflict = ChosenStagingConflict(
            options.stagingFolder, pictures + QStringList{settings.coverPath}, settings.outputFolder);
        if (!conflict.isEmpty()) {
            PrintError(QStringLiteral("tamboril-cli: ") + conflict);
            return kExitUsage;
        }
    }
    RemoveAbandonedStagingFolders();
    // A book is packed straight from the pictures; only a staging folder the person asks for is filled and kept.
    std::unique_ptr<StagingFolder> staging;
    if (!options.stagingFolder.isEmpty()) {
        try {
            staging = std::make_unique<StagingFolder>(options.stagingFolder);
        } catch (const ConversionError& error) {
            PrintError(QStringLiteral("tamboril-cli: ") + error.Text());
            return kExitUsage;
        }
    }
    // The progress line is for a person watching a terminal, never for a file or another program.
    ConsoleUi ui(options.replaceWithoutAsking, !options.quiet && ::isatty(STDERR_FILENO) != 0);
    int status = kExitFailure;
    try {
        const ConversionResult result =
            ConvertBook(pictures, settings, {places.installationData, staging ? staging->Path() : QString()}, ui);
        status = result == ConversionResult::BookWritten ? kExitSuccess : kExitFailure;
    } catch (const UserError& error) {
        PrintError(error.Text());
    }
    return status;
}

// Qt's own warnings (about the locale, a file it could not examine) are not for the person at the
// terminal; what goes wrong in a conversion is reported by the conversion itself.
void KeepQtWarningsOffTheTerminal(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        QTextStream(stderr) << message << Qt::endl;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(KeepQtWarningsOffTheTerminal);
    InstallInterruptionHandlers();
    QCoreApplication application(argc, argv);
    QString error;
    const std::optional<CliOptions> options = ParseCliOptions(application.arguments().mid(1), error);
    if (!options) {
        QTextStream(stderr) << "tamboril-cli: " << error << "\n\n" << CliUsage() << Qt::flush;
        return kExitUsage;
    }
    switch (options->action) {
    case CliOptions::Action::ShowHelp:
        QTextStream(stdout) << CliUsage() << Qt::flush;
        return kExitSuccess;
    case CliOptions::Action::ShowVersion:
        QTextStream(stdout) << kProductTitle << Qt::endl;
        return kExitSuccess;
    case CliOptions::Action::Convert:
        break;
    }
    const int status =
        Convert(*options, PlacesOfProgram(QCoreApplication::applicationDirPath()), UndecodableArguments(argc, argv));
    // A run that wrote its book succeeded, whatever signal came afterwards.
    return status != kExitSuccess && InterruptingSignal() != 0 ? kExitSignalBase + InterruptingSignal() : status;
}
