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

std::optional<BookLayout> BookLayoutNamed(const QString& name)
{
    for (const BookLayout layout : {BookLayout::Flowing, BookLayout::Fixed}) {
        if (name.compare(BookLayoutName(layout), Qt::CaseInsensitive) == 0) {
            return layout;
        }
    }
    return std::nullopt;
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

BookLayout ReadBookLayoutSetting(const QString& configIni)
{
    return BookLayoutNamed(ReadValue(configIni, kLayoutKey)).value_or(BookLayout::Flowing);
}

ReadingDirection ReadReadingDirectionSetting(const QString& configIni)
{
    return ReadingDirectionNamed(ReadValue(configIni, kDirectionKey)).value_or(ReadingDirection::LeftToRight);
}

void WriteBookLayoutSetting(const QString& configIni, BookLayout layout)
{
    WriteProfileString(configIni, kSection, kLayoutKey, BookLayoutName(layout));
}

void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction)
{
    WriteProfileString(configIni, kSection, kDirectionKey, ReadingDirectionName(direction));
}
