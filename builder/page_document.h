#pragma once

#include <QString>

// Writes the page document that shows one picture: eleven lines, each ending in CR LF, naming the
// picture by its file name relative to the page. Creates the file or replaces its whole content.
// Returns false, and reports nothing, when the file cannot be created or written.
bool WritePageDocument(const QString& pagePath, const QString& pictureFileName);
