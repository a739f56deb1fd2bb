// tamboril-cli: the conversion of the window, from the command line.

#include "builder/conversion.h"
#include "builder/product.h"
#include "builder/staging_paths.h"
#include "cli/cli_options.h"
#include "cli/console_ui.h"
#include "cli/interruption.h"
#include "cli/picture_arguments.h"
#include "cli/staging_root.h"
#include "common/user_error.h"
#include "settings/output_folder_setting.h"
#include "settings/program_places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <unistd.h>

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

// The first of `pictures` that lies inside `folder`; empty when none does.
QString PictureInside(const QStringList& pictures, const QString& folder)
{
    const QString prefix = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + u'/';
    for (const QString& picture : pictures) {
        if (QDir::cleanPath(QFileInfo(picture).absoluteFilePath()).startsWith(prefix)) {
            return picture;
        }
    }
    return {};
}

int Convert(const CliOptions& options, const ProgramPlaces& places)
{
    BookSettings settings = options.settings;
    if (!options.outputFolderGiven) {
        settings.outputFolder = SavedOutputFolder(places);
    }
    const QString missing = MissingSettingMessage(settings);
    if (!missing.isEmpty()) {
        PrintError(missing);
        return kExitFailure;
    }
    const PictureArguments arguments = ExpandPictureArguments(options.pictureArguments, settings.coverPath);
    if (arguments.pictures.isEmpty() && arguments.problems.isEmpty()) {
        PrintError(QStringLiteral("tamboril-cli: no .jpg or .jpeg pictures found"));
        return kExitFailure;
    }
    if (!options.stagingFolder.isEmpty()) {
        const QString inside =
            PictureInside(arguments.pictures + QStringList{settings.coverPath}, options.stagingFolder);
        if (!inside.isEmpty()) {
            PrintError(QStringLiteral("tamboril-cli: the picture %1 lies in the staging folder %2, which the "
                                      "conversion empties")
                           .arg(inside, options.stagingFolder));
            return kExitUsage;
        }
    }
    if (!arguments.problems.isEmpty()) {
        PrintError(QStringLiteral("Failed to build: ") + BookPath(settings) + u'\n' + ProblemsText(arguments.problems));
        return kExitFailure;
    }
    RemoveAbandonedStagingFolders();
    const StagingRoot staging(options.stagingFolder, places.installationData);
    if (!staging.Problem().isEmpty()) {
        PrintError(QStringLiteral("tamboril-cli: ") + staging.Problem());
        return options.stagingFolder.isEmpty() ? kExitFailure : kExitUsage;
    }
    // The progress line is for a person watching a terminal, never for a file or another program.
    ConsoleUi ui(options.replaceWithoutAsking, !options.quiet && ::isatty(STDERR_FILENO) != 0);
    try {
        const ConversionResult result = ConvertBook(arguments.pictures, settings, StagingPathsAt(staging.Path()), ui);
        return result == ConversionResult::BookWritten ? kExitSuccess : kExitFailure;
    } catch (const UserError& error) {
        PrintError(error.Text());
        return kExitFailure;
    }
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
    const int status = Convert(*options, PlacesOfProgram(QCoreApplication::applicationDirPath()));
    return InterruptingSignal() != 0 ? kExitSignalBase + InterruptingSignal() : status;
}
