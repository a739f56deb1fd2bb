#include "builder/staging_paths.h"

StagingPaths StagingPathsIn(const QString& folder)
{
    return StagingPathsAt(folder + QStringLiteral("/epubfiles"));
}

StagingPaths StagingPathsAt(const QString& stagingRoot)
{
    return {stagingRoot, stagingRoot + QStringLiteral("/OEBPS")};
}
