#pragma once

#include <QString>

// The one setting kept between runs, the output folder: key "SavePath" of section "Options" in
// the settings file. The window reads and writes it; the command line only reads it.

// The saved output folder; empty when the file or the setting is missing. Raises ProfileReadError
// when it is longer than a setting may be (2047 characters): cut short, it would name another folder.
QString ReadOutputFolderSetting(const QString& configIni);

// Saves the output folder, an empty one too. Raises ProfileWriteError when the file cannot be
// written.
void WriteOutputFolderSetting(const QString& configIni, const QString& outputFolder);
