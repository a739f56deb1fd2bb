#pragma once

#include "archive/file_attributes.h"
#include "archive/packing_hooks.h"
#include "archive/sorted_zip.h"
#include "archive/zip_records.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ArchiveOutput;
class ByteSink;
class ByteSource;
class PackingPool;
struct PackedData;
struct StoredEntry;

// What WriteArchive does about a file that already lies at ZipName.
enum TZipAction {
    zaUpdate,   // merges into it: newer files replace their entries, the other entries are carried over
    zaReplace,  // writes a new archive beside it, which takes its place in one step once complete
    zaCreate,   // as zaReplace, but leaves a file found at ZipName at the end alone and fails with
                // "The file is existing."
};

// Writes a zip archive of the files that FilesList names. Used once: assign the settings, fill FilesList,
// call WriteArchive. Errors are raised as ZipError and its kinds, after the file being written has been
// closed and deleted and FilesList cleared. Worker threads deflate the files ahead of the archive's writing;
// everything else, the hooks included, happens on the thread that calls WriteArchive.
class ZipWriter {
public:
    explicit ZipWriter(PackingHooks hooks = {});
    virtual ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The archive to write. What happens to a file already there is ZipAction's choice.
    const QString& ZipName() const { return zipName_; }
    void SetZipName(const QString& zipName) { zipName_ = zipName; }
    TZipAction ZipAction() const { return zipAction_; }
    void SetZipAction(TZipAction zipAction) { zipAction_ = zipAction; }
    // Base of the stored names, held with one trailing "/". Assigning it makes RelativePathList hold it alone.
    const QString& RootDir() const { return rootDir_; }
    void SetRootDir(const QString& rootDir);
    // Prefixes removed from the folder part of stored names when RelativePaths is set; the first that matches wins.
    QStringList& RelativePathList() { return relativePathList_; }
    // Names relative to RootDir. Assigning true also sets StorePaths and Recurse.
    bool RelativePaths() const { return relativePaths_; }
    void SetRelativePaths(bool relativePaths);
    // The folder part of each name is stored; otherwise the name part alone.
    bool StorePaths() const { return storePaths_; }
    void SetStorePaths(bool storePaths) { storePaths_ = storePaths; }
    // The folder of a wildcard pattern is walked into all its subfolders.
    bool Recurse() const { return recurse_; }
    void SetRecurse(bool recurse) { recurse_ = recurse; }
    // What to pack: full paths of single files, and wildcard patterns "folder/mask" (a first "|" asks for
    // no recursion, a first ">" for recursion). Emptied at the end of WriteArchive.
    QStringList& FilesList() { return filesList_; }
    // Deflate level 1 to 9; 0 stores the data without compression.
    int PackLevel() const { return packLevel_; }
    void SetPackLevel(int packLevel) { packLevel_ = packLevel; }
    // Name patterns of files stored without compression.
    QStringList& NoCompressList() { return noCompressList_; }
    // The stored name of a file that opens the archive, stored without compression and without extra field,
    // ahead of the walk order and of an old archive's entries (the book's "mimetype"); empty for none.
    const QByteArray& FirstStoredEntry() const { return firstStoredEntry_; }
    void SetFirstStoredEntry(const QByteArray& storedName) { firstStoredEntry_ = storedName; }
    // Path patterns of files left out.
    QStringList& ExcludeList() { return excludeList_; }
    bool IncludeHiddenFiles() const { return includeHiddenFiles_; }
    void SetIncludeHiddenFiles(bool include) { includeHiddenFiles_ = include; }
    bool IncludeSysFiles() const { return includeSysFiles_; }
    void SetIncludeSysFiles(bool include) { includeSysFiles_ = include; }
    bool IncludeReadOnlyFiles() const { return includeReadOnlyFiles_; }
    void SetIncludeReadOnlyFiles(bool include) { includeReadOnlyFiles_ = include; }
    // Whether a file or folder of the list that cannot be listed, examined, opened or read fails the packing
    // (EFReadError, naming it and the system's reason, and so does the folder of a pattern that is missing). When
    // not set, such files are skipped without a word, and a folder that cannot be listed adds nothing.
    bool FailOnUnreadableFiles() const { return failOnUnreadableFiles_; }
    void SetFailOnUnreadableFiles(bool fail) { failOnUnreadableFiles_ = fail; }
    // Folder of the temporary archive of a merge; empty, or not an existing folder, means the system's.
    const QString& TempPath() const { return tempPath_; }
    void SetTempPath(const QString& tempPath) { tempPath_ = tempPath; }
    // The event-dispatch callback is called while packing.
    bool DoProcessMessages() const { return doProcessMessages_; }
    void SetDoProcessMessages(bool doProcessMessages) { doProcessMessages_ = doProcessMessages; }
    // Threads that deflate files while the archive is written; one per hardware thread unless set. The archive's
    // bytes are the same for any number.
    int WorkerThreads() const { return workerThreads_; }
    void SetWorkerThreads(int workerThreads) { workerThreads_ = workerThreads; }

    // Expands FilesList, writes the archive and returns the number of files packed (files packed in place of
    // an old entry included, old entries carried over not).
    int WriteArchive();
    // Replaces the wildcard patterns in FilesList by the full paths of the files they match, in walk order.
    void ExpandFileList();

protected:
    // The sink the archive's bytes go to, over the open archive file.
    virtual std::unique_ptr<ByteSink> OpenArchiveSink(int descriptor);

private:
    // One entry of the archive to be, in the order of writing: a file of FilesList (`file` not -1), an old entry
    // carried over (`old` set), or a file that takes an old entry's place unless it is skipped (both).
    struct PackStep {
        qsizetype file = -1;
        // The file is copied unchanged rather than deflated.
        bool store = false;
        const StoredEntry* old = nullptr;
    };

    // Packs one file as one entry, with its data from the pool; false when it is skipped: the archive itself, of a
    // name already in the archive (ASCII letter case ignored), or, unless FailOnUnreadableFiles, gone, not a
    // regular file or unreadable.
    bool AddFileEntry(const QString& path, bool store);
    // Writes the open file's packed data block by block as the pool hands it over.
    PackedData WriteEntryData();
    int WriteNewArchive();
    int WriteArchiveBeside();
    int MergeIntoArchive();
    int PackFiles(int descriptor, const std::vector<StoredEntry>& oldEntries, const ByteSource* oldArchive);
    std::vector<PackStep> PlanSteps(const std::vector<StoredEntry>& oldEntries) const;
    bool StoresUncompressed(const QString& path) const;
    void CarryOver(const StoredEntry& old, const ByteSource& oldArchive);
    void FinishArchive();
    void ExpandPattern(QString pattern, const std::optional<FileStatus>& archive, QStringList* files);
    quint32 AttributeMask() const;
    QString FolderPart(const QString& path) const;
    QByteArray StoredNameOf(const QString& path) const;
    // The FilesList line whose stored name is FirstStoredEntry; -1 when there is none.
    qsizetype IndexOfFirstStoredEntry() const;
    QString TemporaryFolder() const;
    void DispatchEvents();
    // Runs `work` on a thread of its own while this one lets events through, and raises what it raised.
    void DispatchEventsDuring(const std::function<void()>& work);

    PackingHooks hooks_;
    QString zipName_;
    TZipAction zipAction_ = zaUpdate;
    QString rootDir_;
    QStringList relativePathList_;
    bool relativePaths_ = false;
    bool storePaths_ = true;
    bool recurse_ = false;
    QStringList filesList_;
    int packLevel_ = 6;
    QStringList noCompressList_;
    QByteArray firstStoredEntry_;
    QStringList excludeList_;
    bool includeHiddenFiles_ = false;
    bool includeSysFiles_ = false;
    bool includeReadOnlyFiles_ = true;
    bool failOnUnreadableFiles_ = false;
    QString tempPath_;
    bool doProcessMessages_ = true;
    int workerThreads_;

    // State of one WriteArchive run.
    ArchiveOutput* archive_ = nullptr;
    PackingPool* pool_ = nullptr;
    FileStatus outputFile_;
    TSortedZip entries_;
    qint64 bytesDone_ = 0;
    qint64 bytesTotal_ = 0;
};
