#pragma once

#include "common/file_descriptor.h"

#include <QString>

#include <functional>

// The marker that a chosen staging folder carries, by which a later run may take it again. Hidden, so that it never
// goes into a book.
inline constexpr char kChosenStagingMarker[] = ".tamboril-staging";

// The staging folder a person chose for one conversion, which fills it with the book's files and keeps it afterwards,
// locked while the conversion uses it. The folder carries a marker of its own, by which a later run may take it
// again; it is never removed.
class StagingFolder {
public:
    // Raises ConversionError when the folder cannot be made, locked or marked, when it may not serve
    // (ChosenStagingProblem), or when another conversion uses it.
    explicit StagingFolder(const QString& chosenFolder);
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    QString Path() const;

private:
    FileDescriptor lock_;
    QString path_;
};

// A folder of one conversion's own in the system's temporary folder, for pictures it makes before it knows how to
// pack them (the volumes of a book kept under a size), locked while the conversion uses it and marked as ours, so
// that a later run can prove a folder that a killed run left its own and remove it. Removed when it goes.
class TemporaryWorkFolder {
public:
    // Raises ConversionError naming the temporary folder and the system's reason when it cannot be made.
    TemporaryWorkFolder();
    ~TemporaryWorkFolder();
    TemporaryWorkFolder(const TemporaryWorkFolder&) = delete;
    TemporaryWorkFolder& operator=(const TemporaryWorkFolder&) = delete;

    QString Path() const { return path_; }

private:
    FileDescriptor lock_;
    QString path_;
};

// Why `chosenFolder` may not serve as a staging folder: it is not a folder, is the temporary staging folder of a
// conversion, or holds files and is not a chosen staging folder of ours. Empty when it may.
QString ChosenStagingProblem(const QString& chosenFolder);

// Removes the temporary folders that conversions which were killed left in the system's temporary folder (earlier
// versions staged every book in one; TemporaryWorkFolder): only those that carry our temporary folder's marker, belong
// to this user and are locked by no run. Asks `stopRequested` (when given) before each file and leaves the rest, still
// marked, once it answers true.
void RemoveAbandonedStagingFolders(const std::function<bool()>& stopRequested = {});
