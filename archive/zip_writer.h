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
struct PoolSource;

// What WriteArchive does about a file that already lies at ZipName. Either way the archive is written whole under a
// temporary name beside it and takes its place in one step once complete.
enum TZipAction {
    zaReplace,  // the new archive replaces the file found there
    zaCreate,   // a file found there at the end is left alone, and the writing fails with "The file is existing."
};

// Writes a new zip archive, whole, of the files that FilesList names. Used once: assign the settings, fill FilesList,
// call WriteArchive. Errors are raised as ZipError and its kinds, after the file being written has been closed and
// deleted and FilesList cleared. Worker threads deflate the files ahead of the archive's writing; everything else,
// the hooks included, happens on the thread that calls WriteArchive.
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
    // The folder the stored names are relative to, held with one trailing "/".
    const QString& RootDir() const { return rootDir_; }
    void SetRootDir(const QString& rootDir);
    // What to pack: full paths of single files, and wildcard patterns "folder/mask", whose folder is walked into
    // all its subfolders. Hidden and system files, and whatever lies in such folders, are left out of the walk.
    // Emptied at the end of WriteArchive.
    QStringList& FilesList() { return filesList_; }
    // Name patterns of files stored without compression; every other file is deflated at level 6.
    QStringList& NoCompressList() { return noCompressList_; }
    // The stored name of a file that opens the archive, stored without compression and without extra field,
    // ahead of the walk order (the book's "mimetype"); empty for none.
    const QByteArray& FirstStoredEntry() const { return firstStoredEntry_; }
    void SetFirstStoredEntry(const QByteArray& storedName) { firstStoredEntry_ = storedName; }
    // Threads that deflate files while the archive is written; one per hardware thread unless set. The archive's
    // bytes are the same for any number.
    int WorkerThreads() const { return workerThreads_; }
    void SetWorkerThreads(int workerThreads) { workerThreads_ = workerThreads; }

    // Expands FilesList, writes the archive and returns the number of files packed. A file or folder of the list
    // that cannot be listed, examined, opened or read fails the writing (EFReadError, naming it and the system's
    // reason), and so does a pattern's folder that is missing.
    int WriteArchive();

protected:
    // The sink the archive's bytes go to, over the open archive file.
    virtual std::unique_ptr<ByteSink> OpenArchiveSink(int descriptor);

private:
    // Packs one file as one entry, with its data from the pool; false when it is skipped: the archive itself, or of
    // a name already in the archive (ASCII letter case ignored).
    bool AddFileEntry(const QString& path, bool store);
    // Writes the open file's packed data block by block as the pool hands it over.
    PackedData WriteEntryData();
    // Replaces the wildcard patterns in FilesList by the full paths of the files they match, in walk order.
    void ExpandFileList();
    void ExpandPattern(const QString& pattern, const std::optional<FileStatus>& archive, QStringList* files);
    int PackFiles(int descriptor);
    // The files in the order of writing: the one that opens the archive first, then the rest of FilesList.
    std::vector<PoolSource> OrderedSources() const;
    bool StoresUncompressed(const QString& path) const;
    void FinishArchive();
    QByteArray StoredNameOf(const QString& path) const;
    // The FilesList line whose stored name is FirstStoredEntry; -1 when there is none.
    qsizetype IndexOfFirstStoredEntry() const;
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

    // State of one WriteArchive run.
    ArchiveOutput* archive_ = nullptr;
    PackingPool* pool_ = nullptr;
    FileStatus outputFile_;
    TSortedZip entries_;
    qint64 bytesDone_ = 0;
    qint64 bytesTotal_ = 0;
};
