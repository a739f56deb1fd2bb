#pragma once

#include "art_set.h"

#include <QString>

#include <vector>

// Writes every picture into `folder` in its kind, then the resource list art.qrc that names
// those the program carries under the prefix "/art". Throws when a file cannot be written.
void WriteArt(const std::vector<ArtPicture>& pictures, const QString& folder);
