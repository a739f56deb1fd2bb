#include "builder/staging/staging_seed.h"

#include "builder/staging/file_copy.h"
#include "builder/workflow/conversion_error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// The files below `installationData` that an opening file or pattern names, relative to it. One that is not there
// is not copied: the packing then names it as missing from the staging root.
QStringList NamedFiles(const QString& installationData, const QString& openingFile)
{
    if (!openingFile.endsWith(QLatin1String("/*"))) {
        return QFileInfo::exists(installationData + u'/' + openingFile) ? QStringList{openingFile} : QStringList();
    }
    const QString folder = openingFile.chopped(2);
    const QDir installation(installationData);
    QStringList files;
    QDirIterator found(installationData + u'/' + folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        files << installation.relativeFilePath(found.next());
    }
    return files;
}

}  // namespace

void SeedStagingRoot(const QString& installationData, const QString& stagingRoot, const QStringList& openingFiles)
{
    for (const QString& openingFile : openingFiles) {
        for (const QString& relative : NamedFiles(installationData, openingFile)) {
            const QString source = installationData + u'/' + relative;
            const QString target = stagingRoot + u'/' + relative;
            const QFileInfo existing(target);
            if (existing.exists() || existing.isSymLink()) {
                continue;
            }
            QDir().mkpath(existing.path());
            if (const std::optional<CopyFailure> failure = CopyFileRefusingOverwrite(source, target)) {
                throw ConversionError(QStringLiteral("Cannot copy the installation file %1 to %2: %3")
                                          .arg(source, target, failure->reason));
            }
        }
    }
}
