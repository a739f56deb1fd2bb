// tamboril-cli: the conversion of the window, from the command line.

#include "builder/conversion.h"
#include "builder/product.h"
#include "builder/staging_paths.h"
#include "cli/cli_options.h"
#include "cli/console_ui.h"
#include "cli/picture_arguments.h"
#include "cli/staging_root.h"
#include "settings/private_profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <exception>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The output folder the window saved in config.ini beside the programs; read, never written.
QString SavedOutputFolder(const QString& programFolder)
{
    return ReadProfileString(programFolder + QStringLiteral("/config.ini"), QStringLiteral("Options"),
                             QStringLiteral("SavePath"), QString());
}

int Convert(const CliOptions& options, const QString& programFolder)
{
    QTextStream err(stderr);
    BookSettings settings = options.settings;
    if (!options.outputFolderGiven) {
        settings.outputFolder = SavedOutputFolder(programFolder);
    }
    const QStringList pictures = ExpandPictureArguments(options.pictureArguments);
    if (pictures.isEmpty()) {
        err << "tamboril-cli: no .jpg or .jpeg pictures found" << Qt::endl;
        return kExitFailure;
    }
    const StagingRoot staging(options.stagingFolder, programFolder + QStringLiteral("/epubfiles"));
    if (!staging.IsValid()) {
        err << "tamboril-cli: cannot create a staging folder in " << QDir::tempPath() << Qt::endl;
        return kExitFailure;
    }
    ConsoleUi ui(options.replaceWithoutAsking);
    try {
        const ConversionResult result = ConvertBook(pictures, settings, StagingPathsAt(staging.Path()), ui);
        return result == ConversionResult::BookWritten ? kExitSuccess : kExitFailure;
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << Qt::endl;
        return kExitFailure;
    }
}

}  // namespace

int main(int argc, char** argv)
{
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
    return Convert(*options, QCoreApplication::applicationDirPath());
}
