#pragma once

#include <QString>

#include <functional>

// Deletes the folder at `path` with everything below it, silently and permanently. A symbolic
// link inside the folder is removed itself; what it points to is never touched. Returns true
// when everything was deleted.
bool DeleteFolderTree(const QString& path);

// Deletes everything inside `folder` but the entry named `kept` (nothing is kept when it is empty),
// file by file, asking `stopRequested` (when given) before each: once it answers true the rest
// stays. Symbolic links are removed, never followed. True when everything but `kept` is gone.
bool DeleteFolderContent(const QString& folder, const QString& kept, const std::function<bool()>& stopRequested);

// Empties the content folder: deletes it when it exists, then creates it again with every missing
// parent folder.
void RecreateContentFolder(const QString& oebpsDir);
