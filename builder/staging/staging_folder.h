#pragma once

#include "common/file_descriptor.h"

#include <QString>

#include <functional>

// The staging folder of one conversion, locked while the conversion uses it. Either a fresh temporary folder of its own
// in the system's temporary folder, removed when the conversion is over, so that any number of conversions, in windows
// and command lines of any users, can run at once without touching each other's files; or a folder the person chose,
// kept afterwards.
//
// A temporary folder is made under a hidden name, locked and marked as ours, and only then named
// "tamboril-XXXXXX". The marker is written by nothing else, so a later run can prove that a folder is the leftover
// of a conversion that was killed (marked, this user's, and locked by no run) before it removes it. A chosen folder
// carries a marker of its own, by which a later run may take it again, and is never removed.
class StagingFolder {
public:
    // `chosenFolder` empty: a temporary folder. Raises ConversionError when the folder cannot be made, locked or
    // marked, when a chosen folder may not serve (ChosenStagingProblem), or when another conversion
    // uses it.
    explicit StagingFolder(const QString& chosenFolder);
    // Releases the folder (Release), a temporary one removed whole.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    QString Path() const;

    // Ends the conversion's use of the folder. A temporary folder is removed file by file, its marker last, asking
    // `stopRequested` (when given) before each file: once that answers true the rest stays, still marked, for a
    // later run to remove. A chosen folder stays as the conversion left it. The lock goes at the end. Only the
    // first call does anything.
    void Release(const std::function<bool()>& stopRequested = {});

private:
    void TakeTemporaryFolder();
    void TakeChosenFolder(const QString& chosenFolder);
    // Gives the new temporary folder, locked and marked under its hidden name, its own name.
    void NameTemporaryFolder();

    FileDescriptor lock_;
    QString path_;
    bool temporary_ = false;
    bool released_ = false;
};

// Why `chosenFolder` may not serve as a staging folder: it is not a folder, is the temporary folder of another
// conversion, or holds files and is not a chosen staging folder of ours. Empty when it may.
QString ChosenStagingProblem(const QString& chosenFolder);

// Removes the temporary staging folders that conversions which were killed left in the system's temporary
// folder: only those that carry our temporary folder's marker, belong to this user and are locked by no run.
// Asks `stopRequested` (when given) before each file and leaves the rest, still marked, once it answers true.
void RemoveAbandonedStagingFolders(const std::function<bool()>& stopRequested = {});
