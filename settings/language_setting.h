#pragma once

#include <QString>

// The language a person chose for the books, kept between runs beside the output folder: key "Language" of section
// "Options" in the settings file, a BCP 47 tag. A missing file or key, an empty value or one that is not a
// well-formed tag (LanguageTagProblem) means none was chosen: the books take the system's language
// (DefaultLanguageTag). The window reads and writes it; the command line only reads it.

// The saved language; empty when none is.
QString ReadLanguageSetting(const QString& configIni);

// Saves the language; an empty one saves that none is chosen. Raises ProfileWriteError when the file cannot be
// written.
void WriteLanguageSetting(const QString& configIni, const QString& language);
