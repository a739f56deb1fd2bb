#include "settings/program_places.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kProgramName[] = "tamboril";
// The folder beside the built programs that holds the installation data.
constexpr char kBuiltDataName[] = "epubfiles";
constexpr char kSettingsFileName[] = "config.ini";

// The folder a base-directory variable names, or `fallback` (below the home folder) when it is
// unset, empty or relative: such a value is to be ignored.
QString BaseFolder(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QDir::homePath() + u'/' + fallback;
}

// Where an installed program finds its installation data: the data folder of its own prefix, so
// that any prefix works. The path from the programs' folder to it is fixed when the build is set up.
QString InstalledDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(programFolder + u'/' + QStringLiteral(TAMBORIL_DATA_FROM_PROGRAMS));
}

}  // namespace

ProgramPlaces PlacesOfProgram(const QString& programFolder)
{
    return PlacesOfProgram(programFolder, ::access(QFile::encodeName(programFolder).constData(), W_OK) == 0);
}

ProgramPlaces PlacesOfProgram(const QString& programFolder, bool programFolderWritable)
{
    ProgramPlaces places;
    if (programFolderWritable) {
        places.configIni = programFolder + u'/' + QLatin1String(kSettingsFileName);
    } else {
        places.configIni = BaseFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + u'/' + QLatin1String(kProgramName)
                           + u'/' + QLatin1String(kSettingsFileName);
    }
    const QString installed = InstalledDataFolder(programFolder);
    places.installationData =
        QFileInfo(installed).isDir() ? installed : programFolder + u'/' + QLatin1String(kBuiltDataName);
    places.stateFolder =
        BaseFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + u'/' + QLatin1String(kProgramName);
    return places;
}

void MakePrivateFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink()) {
        return;
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath()) {
        MakePrivateFolder(parent);
    }
    ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
}
