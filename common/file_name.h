#pragma once

#include <QString>

// The file-name part of a path: the text after its last "/" (the whole text when it has none,
// empty when it ends in "/").
QString FileNamePart(const QString& path);

// The folder that holds the file at `path`, as the system finds it: the text before the last "/" ("/" for a file
// directly in the root, "." for a path without "/"). Unlike a cleaned path, "link/../x" keeps its "link/..", which
// the system takes through the link.
QString FolderOfPath(const QString& path);
