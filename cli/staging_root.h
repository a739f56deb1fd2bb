#pragma once

#include "archive/file_descriptor.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// The staging root of one command-line run: a folder the caller names, kept afterwards, or a fresh
// temporary folder removed when this object goes, so that several runs can go at once. Either is
// seeded with the installation data (SeedStagingRoot: mimetype, META-INF) where it lacks them.
//
// The folder carries a small marker file of ours and is locked while the run uses it: a later run
// removes the temporary staging folders of runs that were killed, and takes a chosen folder only
// when it is new, empty, or a staging folder of ours that no run is using.
class StagingRoot {
public:
    // `chosenFolder` empty: a temporary folder.
    StagingRoot(const QString& chosenFolder, const QString& installationRoot);
    ~StagingRoot();
    StagingRoot(const StagingRoot&) = delete;
    StagingRoot& operator=(const StagingRoot&) = delete;

    // Why the folder cannot be used; empty when it can.
    QString Problem() const;
    QString Path() const;

private:
    // Makes and locks a new temporary folder; false, with the problem set, when it cannot.
    bool TakeTemporaryFolder();
    void MarkAndSeed(const QString& installationRoot);

    // Declared first, so that the lock is released only after the temporary folder is gone.
    FileDescriptor lock_;
    std::unique_ptr<QTemporaryDir> temporary_;
    QString path_;
    QString problem_;
};

// Why `chosenFolder` may not serve as a staging folder: it is not a folder, or holds files that
// are not a staging folder of ours; empty when it may.
QString ChosenStagingProblem(const QString& chosenFolder);

// Removes the temporary staging folders of earlier runs that were killed: folders of ours in the
// system's temporary folder that no run holds, marked or left empty.
void RemoveAbandonedStagingFolders();
