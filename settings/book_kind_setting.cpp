#include "settings/book_kind_setting.h"

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

QString BookLayoutName(BookLayout layout)
{
    return layout == BookLayout::Fixed ? QStringLiteral("fixed") : QStringLiteral("flowing");
}

QString ReadingDirectionName(ReadingDirection direction)
{
    return direction == ReadingDirection::RightToLeft ? QStringLiteral("right-to-left")
                                                      : QStringLiteral("left-to-right");
}

BookLayout ReadBookLayoutSetting(const QString& configIni)
{
    const bool fixed =
        ReadValue(configIni, kLayoutKey).compare(BookLayoutName(BookLayout::Fixed), Qt::CaseInsensitive) == 0;
    return fixed ? BookLayout::Fixed : BookLayout::Flowing;
}

ReadingDirection ReadReadingDirectionSetting(const QString& configIni)
{
    const bool rightToLeft = ReadValue(configIni, kDirectionKey)
                                 .compare(ReadingDirectionName(ReadingDirection::RightToLeft), Qt::CaseInsensitive)
                             == 0;
    return rightToLeft ? ReadingDirection::RightToLeft : ReadingDirection::LeftToRight;
}

void WriteBookLayoutSetting(const QString& configIni, BookLayout layout)
{
    WriteProfileString(configIni, kSection, kLayoutKey, BookLayoutName(layout));
}

void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction)
{
    WriteProfileString(configIni, kSection, kDirectionKey, ReadingDirectionName(direction));
}
