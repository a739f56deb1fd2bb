#include "settings/language_setting.h"

#include "settings/book_details.h"
#include "settings/private_profile.h"

namespace {

const QString kSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("Language");

}  // namespace

QString ReadLanguageSetting(const QString& configIni)
{
    const QString language = ReadProfileString(configIni, kSection, kKey, QString());
    return LanguageTagProblem(language).isEmpty() ? language : QString();
}

void WriteLanguageSetting(const QString& configIni, const QString& language)
{
    WriteProfileString(configIni, kSection, kKey, language);
}
