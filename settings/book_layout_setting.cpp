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

std::optional<ReadingDirection> ReadingDirectionNamed(const QString& name)
{
    for (const ReadingDirection direction : {ReadingDirection::LeftToRight, ReadingDirection::RightToLeft}) {
        if (name.compare(ReadingDirectionName(direction), Qt::CaseInsensitive) == 0) {
            return direction;
        }
    }
    return std::nullopt;
}

QString ReadBookLayoutSetting(const QString& configIni)
{
    return ReadValue(configIni, kLayoutKey);
}

ReadingDirection ReadReadingDirectionSetting(const QString& configIni)
{
    return ReadingDirectionNamed(ReadValue(configIni, kDirectionKey)).value_or(ReadingDirection::LeftToRight);
}

void WriteBookLayoutSetting(const QString& configIni, const QString& layout)
{
    WriteProfileString(configIni, kSection, kLayoutKey, layout);
}

void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction)
{
    WriteProfileString(configIni, kSection, kDirectionKey, ReadingDirectionName(direction));
}
