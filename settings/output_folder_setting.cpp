#include "settings/output_folder_setting.h"

#include "settings/private_profile.h"
#include "settings/profile_read_error.h"

namespace {

const QString kSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("SavePath");
// The longest value a setting may have.
constexpr qsizetype kLongestValue = 2047;

}  // namespace

QString ReadOutputFolderSetting(const QString& configIni)
{
    const QString folder = ReadProfileString(configIni, kSection, kKey, QString(), kLongestValue + 1);
    if (folder.size() > kLongestValue) {
        throw ProfileReadError(QStringLiteral("The output folder saved in %1 is longer than %2 characters")
                                   .arg(configIni)
                                   .arg(kLongestValue));
    }
    return folder;
}

void WriteOutputFolderSetting(const QString& configIni, const QString& outputFolder)
{
    WriteProfileString(configIni, kSection, kKey, outputFolder);
}
