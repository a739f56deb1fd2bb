#pragma once

#include <QString>

// Copies the regular file `source` to `target`, keeping its last-write time. Refuses, and returns
// false, when anything already exists at `target`, when the source is missing or is not a regular
// file, or when the copy fails; a failed copy leaves no partial target behind.
bool CopyFileRefusingOverwrite(const QString& source, const QString& target);
