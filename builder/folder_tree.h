#pragma once

#include <QString>

// Deletes the folder at `path` with everything below it, silently and permanently. A symbolic
// link inside the folder is removed itself; what it points to is never touched. Returns true
// when everything was deleted.
bool DeleteFolderTree(const QString& path);
