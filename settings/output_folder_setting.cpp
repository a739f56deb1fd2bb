#include "settings/output_folder_setting.h"

#include "settings/private_profile.h"

namespace {

const QString kSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("SavePath");

}  // namespace

QString ReadOutputFolderSetting(const QString& configIni)
{
    return ReadProfileString(configIni, kSection, kKey, QString());
}

void WriteOutputFolderSetting(const QString& configIni, const QString& outputFolder)
{
    WriteProfileString(configIni, kSection, kKey, outputFolder);
}
