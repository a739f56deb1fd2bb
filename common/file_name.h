#pragma once

#include <QString>

// The file-name part of a path: the text after its last "/" (the whole text when it has none,
// empty when it ends in "/").
QString FileNamePart(const QString& path);
