#pragma once

#include "common/reading_direction.h"

#include <QString>

#include <optional>

// The kind of book a person chose, kept between runs beside the output folder: keys "Layout" (the word that names
// the kind of book, such as "flowing" or "fixed") and "ReadingDirection" ("left-to-right" or "right-to-left") of
// section "Options" in the settings file. A missing file or key means the default; so does, for the direction, a
// value it does not know. The window reads and writes them; the command line only reads them.

// The word saved for the kind of book, as it stands; empty when none is saved.
QString ReadBookLayoutSetting(const QString& configIni);
ReadingDirection ReadReadingDirectionSetting(const QString& configIni);

// Save one setting. Raise ProfileWriteError when the file cannot be written.
void WriteBookLayoutSetting(const QString& configIni, const QString& layout);
void WriteReadingDirectionSetting(const QString& configIni, ReadingDirection direction);

// The words for each reading direction, as the settings file writes them; and the direction such words name (in any
// letter case), nothing for other words.
QString ReadingDirectionName(ReadingDirection direction);
std::optional<ReadingDirection> ReadingDirectionNamed(const QString& name);
