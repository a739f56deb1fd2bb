#include "cli/staging_root.h"

#include "builder/file_copy.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// Copies every file below `installationRoot` that `stagingRoot` lacks, except the content folder,
// which each conversion writes itself.
void SeedStagingRoot(const QString& installationRoot, const QString& stagingRoot)
{
    const QDir installation(installationRoot);
    QDirIterator files(installationRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = installation.relativeFilePath(source);
        if (relative.startsWith(QStringLiteral("OEBPS/"))) {
            continue;
        }
        const QString target = stagingRoot + u'/' + relative;
        QDir().mkpath(QFileInfo(target).path());
        CopyFileRefusingOverwrite(source, target);
    }
}

}  // namespace

StagingRoot::StagingRoot(const QString& chosenFolder, const QString& installationRoot)
{
    if (chosenFolder.isEmpty()) {
        temporary_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tamboril-XXXXXX"));
        path_ = temporary_->isValid() ? temporary_->path() : QString();
    } else {
        path_ = QFileInfo(chosenFolder).absoluteFilePath();
        QDir().mkpath(path_);
    }
    if (!path_.isEmpty()) {
        SeedStagingRoot(installationRoot, path_);
    }
}

bool StagingRoot::IsValid() const
{
    return !path_.isEmpty();
}

QString StagingRoot::Path() const
{
    return path_;
}
