#pragma once

#include <QString>
#include <QStringList>

// Copies into `stagingRoot` the files that `openingFiles` names below `installationData` (paths, or wildcard
// patterns "folder/*" taking every file of that folder's tree) when it lacks them, creating the folders they need,
// so that every book carries them even when a staging root is new or was emptied. Files already there are kept,
// and so are files the installation data lacks.
// Raises ConversionError naming a file that cannot be copied.
void SeedStagingRoot(const QString& installationData, const QString& stagingRoot, const QStringList& openingFiles);
