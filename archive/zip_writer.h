#pragma once

#include "archive/archive_list.h"
#include "archive/packing_hooks.h"
#include "archive/pending_file.h"
#include "archive/sorted_zip.h"
#include "archive/zip_records.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class ArchiveOutput;
class ByteSink;
class PackingPool;
struct ListedFile;
struct PackedData;

// What WriteArchive does about a file that already lies at ZipName. Either way the archive is written whole under a
// temporary name beside it and takes its place in one step once complete.
enum TZipAction {
    zaReplace,  // the new archive replaces the file found there
    zaCreate,   // a file found there at the end is left alone, and the writing fails with "The file is existing."
};

// Writes a new zip archive, whole: of the files that FilesList names, or of the entries of a list it is given. Used
// once: assign the settings, fill FilesList, call WriteArchive. Errors are raised as ZipError and its kinds, after the
// file being written has been closed and deleted and FilesList cleared. Worker threads pack the entries ahead of the
// archive's writing; everything else, the hooks included, happens on the thread that calls WriteArchive.
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
    // The folder the stored names of FilesList's files are relative to, held with one trailing "/".
    void SetRootDir(const QString& rootDir);
    // What to pack: full paths of single files, and wildcard patterns "folder/mask", whose folder is walked into
    // all its subfolders. Hidden and system files, and whatever lies in such folders, are left out of the walk.
    // Emptied at the end of WriteArchive.
    QStringList& FilesList() { return filesList_; }
    // Name patterns of files stored without compression; every other file is deflated at level 6.
    QStringList& NoCompressList() { return noCompressList_; }
    // The stored name of a file of FilesList that opens the archive, stored without compression, ahead of the walk
    // order; empty for none.
    void SetFirstStoredEntry(const QByteArray& storedName) { firstStoredEntry_ = storedName; }
    // Threads that pack entries while the archive is written; one per hardware thread unless set. The archive's
    // bytes are the same for any number.
    void SetWorkerThreads(int workerThreads) { workerThreads_ = workerThreads; }
    // Tells a leftover of an archive of the same kind by its first bytes (see RemoveAbandonedFiles); unset, any zip
    // archive of ours counts.
    void SetLeftoverCheck(LeftoverCheck check) { leftoverCheck_ = std::move(check); }

    // Expands FilesList, writes the archive and returns the number of files packed. A file or folder of the list
    // that cannot be listed, examined, opened or read fails the writing (EFReadError, naming it and the system's
    // reason), and so does a pattern's folder that is missing.
    int WriteArchive();
    // Writes the archive of the entries of `list`, in its order, and returns the number of entries packed. An entry
    // whose content cannot be opened or written fails the writing with the error it raised.
    int WriteArchive(const ArchiveList& list);

protected:
    // The sink the archive's bytes go to, over the open archive file.
    virtual std::unique_ptr<ByteSink> OpenArchiveSink(int descriptor);

private:
    // Packs entry `index` of the list with its data from the pool; false when it is skipped: the archive itself, or
    // of a name already in the archive (ASCII letter case ignored).
    bool AddEntry(const ArchiveList& list, qsizetype index);
    // Writes the open entry's packed data block by block as the pool hands it over.
    PackedData WriteEntryData();
    int PackEntries(const ArchiveList& list, int descriptor);
    void FinishArchive();
    void DispatchEvents();
    // Runs `work` on a thread of its own while this one lets events through, and raises what it raised.
    void DispatchEventsDuring(const std::function<void()>& work);

    PackingHooks hooks_;
    QString zipName_;
    TZipAction zipAction_ = zaReplace;
    QString rootDir_;
    QStringList filesList_;
    QStringList noCompressList_;
    QByteArray firstStoredEntry_;
    int workerThreads_;
    LeftoverCheck leftoverCheck_;

    // State of one WriteArchive run.
    ArchiveOutput* archive_ = nullptr;
    PackingPool* pool_ = nullptr;
    TSortedZip entries_;
    qint64 bytesDone_ = 0;
    qint64 bytesTotal_ = 0;
};
