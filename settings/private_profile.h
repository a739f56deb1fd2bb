#pragma once

#include <QString>

// A settings file in the INI format: [Section] lines and key=value lines. Section and key names
// compare without case; blanks around names and values are ignored; a value in matching double or
// single quotes is read without them; lines starting with ";" are comments.

// The value of `key` in `section` of the file at `path`, at most `maxLength` characters; the
// default when the file, the section or the key is missing.
QString ReadProfileString(const QString& path, const QString& section, const QString& key, const QString& defaultValue,
                          qsizetype maxLength = 2047);

// Why the file at `path` exists but cannot be read ("it is a folder", "Permission denied"); empty when it can be
// read or is missing. ReadProfileString takes such a file for a missing one.
QString ProfileReadProblem(const QString& path);

// Sets `key` in `section` to `value` (up to its first line break), creating the file, the section and the key as needed
// and keeping every other line of the file as it was. A symbolic link at `path` is replaced by a regular file, never
// written through. Raises ProfileWriteError, with the text "Unable to write to <path>", when the file cannot be
// written; the file then keeps its old content.
void WriteProfileString(const QString& path, const QString& section, const QString& key, const QString& value);
