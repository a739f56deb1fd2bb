#pragma once

#include "common/book_kind.h"

#include <QString>

#include <optional>

// The kind of book a person chose, kept between runs beside the output folder: keys "Layout" ("flowing" or
// "fixed") and "ReadingDirection" ("left-to-right" or "right-to-left") of section "Options" in the settings
// file. A missing file or key, or a value it does not know, means the default: a flowing book read left to
// right. The window reads and writes them; the command line only reads them.

BookLayout ReadBookLayoutSetting(const QString& configIni);
ReadingDirection ReadReadingDirectionSetting(const QString& configIni);

// Save one setting. Raise ProfileWriteError when the file cannot be written.
void WriteBookLayoutSetting(const QString& configIni, BookLayout layout);
void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction);

// The words for each value, as the settings file, a page list file and the command line write them.
QString BookLayoutName(BookLayout layout);
QString ReadingDirectionName(ReadingDirection direction);

// The value those words name, in any letter case; nothing for other words.
std::optional<BookLayout> BookLayoutNamed(const QString& name);
std::optional<ReadingDirection> ReadingDirectionNamed(const QString& name);
