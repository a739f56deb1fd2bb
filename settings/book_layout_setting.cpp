#include "settings/book_layout_setting.h"

#include "settings/private_profile.h"

namespace {

const QString kSection = QStringLiteral("Options");
const QString kLayoutKey = QStringLiteral("Layout");
const QString kDirectionKey = QStringLiteral("ReadingDirection");

QString ReadValue(const QString& configIni, const QString& key)
{
    return ReadProfileString(configIni, kSection, key, QString()).trimmed();
}

}  // namespace

QString ReadingDirectionName(ReadingDirection direction)
{
    return direction == ReadingDirection::RightToLeft ? QStringLiteral("right-to-left")
                                                      : QStringLiteral("left-to-right");
}

QString ReadBookLayoutSetting(const QString& configIni)
{
    return ReadValue(configIni, kLayoutKey);
}

ReadingDirection ReadReadingDirectionSetting(const QString& configIni)
{
    const bool rightToLeft = ReadValue(configIni, kDirectionKey)
                                 .compare(ReadingDirectionName(ReadingDirection::RightToLeft), Qt::CaseInsensitive)
                             == 0;
    return rightToLeft ? ReadingDirection::RightToLeft : ReadingDirection::LeftToRight;
}

void WriteBookLayoutSetting(const QString& configIni, const QString& layout)
{
    WriteProfileString(configIni, kSection, kLayoutKey, layout);
}

void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction)
{
    WriteProfileString(configIni, kSection, kDirectionKey, ReadingDirectionName(direction));
}
