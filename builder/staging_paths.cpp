#include "builder/staging_paths.h"

#include "builder/book_entry_names.h"
#include "builder/conversion_error.h"
#include "builder/file_copy.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

StagingPaths StagingPathsAt(const QString& stagingRoot)
{
    return {stagingRoot, stagingRoot + u'/' + kContentFolderName};
}

void SeedStagingRoot(const QString& installationData, const QString& stagingRoot)
{
    const QDir installation(installationData);
    QDirIterator files(installationData, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = installation.relativeFilePath(source);
        const QString target = stagingRoot + u'/' + relative;
        const QFileInfo existing(target);
        if (relative.startsWith(kContentFolderName + u'/') || existing.exists() || existing.isSymLink()) {
            continue;
        }
        QDir().mkpath(existing.path());
        if (const std::optional<CopyFailure> failure = CopyFileRefusingOverwrite(source, target)) {
            throw ConversionError(
                QStringLiteral("Cannot copy the installation file %1 to %2: %3").arg(source, target, failure->reason));
        }
    }
}
