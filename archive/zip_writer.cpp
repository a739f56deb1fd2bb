#include "archive/zip_writer.h"

#include "archive/byte_sink.h"
#include "archive/byte_source.h"
#include "archive/dir_search.h"
#include "archive/dos_time.h"
#include "archive/file_descriptor.h"
#include "archive/packing_pool.h"
#include "archive/pending_file.h"
#include "archive/wildcard.h"
#include "archive/zip_directory_reader.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_errors.h"
#include "common/cancellation.h"
#include "common/file_name.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <future>

namespace {

// A line of FilesList holding one of these characters is a wildcard pattern, not a single file.
constexpr char kWildcardCharacters[] = "*?<>|";
constexpr QChar kNoRecursionMark = u'|';
constexpr QChar kRecursionMark = u'>';
constexpr QChar kSeparator = u'/';
// How often the central directory, a record for every file, lets events through while it is written.
constexpr qsizetype kCentralHeadersBetweenDispatches = 4096;
// How often events get through while the writer waits for work of the system's.
constexpr std::chrono::milliseconds kDispatchInterval(20);
constexpr quint32 kFullAttributeMask = kAttributeReadOnly | kAttributeHidden | kAttributeSystem | kAttributeVolume
                                       | kAttributeDirectory | kAttributeArchive;

bool IsWildcardPattern(const QString& line)
{
    for (const char* mark = kWildcardCharacters; *mark != '\0'; ++mark) {
        if (line.contains(QLatin1Char(*mark))) {
            return true;
        }
    }
    return false;
}

// The archive path without leading and trailing spaces and control characters.
QString TrimmedName(const QString& name)
{
    qsizetype first = 0;
    qsizetype last = name.size();
    while (first < last && name[first] <= u' ') {
        ++first;
    }
    while (last > first && name[last - 1] <= u' ') {
        --last;
    }
    return name.mid(first, last - first);
}

// The local header is completed by writing it again in place. Storing the entry's data first is a write like
// any other; from the move back to the return to the end of the data, any failure is the seek error.
void RewriteLocalHeader(TZipHeaderInfo& entry, ArchiveOutput& archive)
{
    const auto offset = static_cast<qint64>(entry.relativeOffset);
    if (!archive.Holds(offset)) {
        archive.Flush();
    }
    const qint64 end = archive.Position();
    try {
        archive.Seek(offset);
        WriteLocalHeader(entry, archive);
        archive.Seek(end);
    } catch (const ENotEnoughRoom&) {
        throw ZipError(kSeekErrorText);
    }
}

// True when the file at `path` was last written after the DOS time `entryTime`.
bool IsNewerThan(const QString& path, quint32 entryTime)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && DosDateTime(info.st_mtime) > entryTime;
}

}  // namespace

ZipWriter::ZipWriter(PackingHooks hooks) : hooks_(std::move(hooks)), workerThreads_(DefaultWorkerCount()) {}

ZipWriter::~ZipWriter() = default;

void ZipWriter::SetRootDir(const QString& rootDir)
{
    rootDir_ = rootDir.endsWith(kSeparator) ? rootDir : rootDir + kSeparator;
    relativePathList_ = QStringList{rootDir_};
}

void ZipWriter::SetRelativePaths(bool relativePaths)
{
    relativePaths_ = relativePaths;
    if (relativePaths) {
        storePaths_ = true;
        recurse_ = true;
    }
}

int ZipWriter::WriteArchive()
{
    const auto clearList = qScopeGuard([this] { filesList_.clear(); });
    if (TrimmedName(zipName_).isEmpty()) {
        return 0;
    }
    if (!filesList_.isEmpty()) {
        ExpandFileList();
    }
    if (zipAction_ != zaUpdate) {
        return WriteArchiveBeside();
    }
    return StatusOf(zipName_) ? MergeIntoArchive() : WriteNewArchive();
}

void ZipWriter::ExpandFileList()
{
    QStringList files;
    QStringList patterns;
    for (const QString& line : std::as_const(filesList_)) {
        (IsWildcardPattern(line) ? patterns : files).append(line);
    }
    // An archive already at ZipName is known by its identity too, so that no spelling of its path lets it in.
    const std::optional<FileStatus> archive = StatusOf(zipName_);
    bytesTotal_ = 0;
    for (const QString& file : std::as_const(files)) {
        const std::optional<FileStatus> status = StatusOf(file);
        bytesTotal_ += status ? status->size : 0;
    }
    for (const QString& pattern : std::as_const(patterns)) {
        ExpandPattern(pattern, archive, &files);
    }
    filesList_ = files;
}

void ZipWriter::ExpandPattern(QString pattern, const std::optional<FileStatus>& archive, QStringList* files)
{
    bool recurse = recurse_;
    if (pattern.startsWith(kNoRecursionMark) || pattern.startsWith(kRecursionMark)) {
        recurse = pattern.startsWith(kRecursionMark);
        pattern.remove(0, 1);
    }
    const qsizetype separator = pattern.lastIndexOf(kSeparator);
    const QString folder = pattern.left(separator + 1);
    QString mask = pattern.mid(separator + 1);
    if (mask == QLatin1String("*.*")) {
        mask = QStringLiteral("*");
    }
    // A folder that is not there adds nothing, unless that is a failure: then the walk says why it cannot list it.
    if (folder.isEmpty() || (!failOnUnreadableFiles_ && !QFileInfo(folder).isDir())) {
        return;
    }
    TDirSearch search(folder, mask, AttributeMask(), recurse, failOnUnreadableFiles_);
    TDirSearch::Found found;
    while (search.Next(&found)) {
        if (found.status.IsFolder() || MatchesAny(found.path, excludeList_)) {
            continue;
        }
        DispatchEvents();
        if (found.path == zipName_ || (archive && found.status.IsSameFile(*archive))) {
            continue;
        }
        files->append(found.path);
        bytesTotal_ += found.status.size;
    }
}

quint32 ZipWriter::AttributeMask() const
{
    quint32 mask = kFullAttributeMask;
    if (!includeHiddenFiles_) {
        mask &= ~kAttributeHidden;
    }
    if (!includeSysFiles_) {
        mask &= ~kAttributeSystem;
    }
    if (!includeReadOnlyFiles_) {
        mask &= ~kAttributeReadOnly;
    }
    return mask;
}

std::unique_ptr<ByteSink> ZipWriter::OpenArchiveSink(int descriptor)
{
    return std::make_unique<FileSink>(descriptor);
}

int ZipWriter::WriteNewArchive()
{
    PendingFile file = PendingFile::Create(zipName_);
    const int added = PackFiles(file.Descriptor(), {}, nullptr);
    file.Finish();
    return added;
}

int ZipWriter::WriteArchiveBeside()
{
    RemoveAbandonedFiles(FolderOfPath(zipName_));
    PendingFile file = PendingFile::CreateLockedBeside(zipName_);
    const int added = PackFiles(file.Descriptor(), {}, nullptr);
    // The disk may take a while to take a whole book; the person's events go on meanwhile.
    DispatchEventsDuring([&file] { file.FlushToDisk(); });
    file.FinishInPlaceOf(zipName_, zipAction_ == zaReplace);
    return added;
}

int ZipWriter::MergeIntoArchive()
{
    const FileDescriptor old(::open(QFile::encodeName(zipName_).constData(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!old.IsOpen() || ::fstat(old.Get(), &info) != 0) {
        throw EFCreateError(zipName_, errno);
    }
    const FileReader oldArchive(old.Get(), info.st_size, zipName_);
    const std::vector<StoredEntry> oldEntries = ReadZipDirectory(oldArchive);
    PendingFile temporary = PendingFile::CreateTemporary(TemporaryFolder());
    const int added = PackFiles(temporary.Descriptor(), oldEntries, &oldArchive);
    temporary.FinishAsReplacementOf(zipName_);
    return added;
}

int ZipWriter::PackFiles(int descriptor, const std::vector<StoredEntry>& oldEntries, const ByteSource* oldArchive)
{
    struct stat output {};
    ::fstat(descriptor, &output);
    outputFile_.device = output.st_dev;
    outputFile_.inode = output.st_ino;
    const std::unique_ptr<ByteSink> sink = OpenArchiveSink(descriptor);
    ArchiveOutput archive(*sink);
    entries_.Clear();
    bytesDone_ = 0;

    const std::vector<PackStep> steps = PlanSteps(oldEntries);
    std::vector<PoolSource> sources;
    sources.reserve(static_cast<size_t>(filesList_.size()));
    for (const PackStep& step : steps) {
        if (step.file >= 0) {
            sources.push_back({filesList_[step.file], step.store});
        }
    }
    PackingPool::Settings poolSettings;
    poolSettings.workers = workerThreads_;
    poolSettings.level = packLevel_;
    poolSettings.archive = outputFile_;
    poolSettings.failOnUnreadable = failOnUnreadableFiles_;
    PackingPool pool(std::move(sources), poolSettings);
    archive_ = &archive;
    pool_ = &pool;
    const auto detach = qScopeGuard([this] {
        archive_ = nullptr;
        pool_ = nullptr;
    });
    int added = 0;
    for (const PackStep& step : steps) {
        if (step.file >= 0 && AddFileEntry(filesList_[step.file], step.store)) {
            ++added;
        } else if (step.old != nullptr) {
            CarryOver(*step.old, *oldArchive);
        }
    }
    FinishArchive();
    return added;
}

std::vector<ZipWriter::PackStep> ZipWriter::PlanSteps(const std::vector<StoredEntry>& oldEntries) const
{
    std::vector<PackStep> steps;
    steps.reserve(static_cast<size_t>(filesList_.size()) + oldEntries.size());
    std::vector<bool> taken(static_cast<size_t>(filesList_.size()), false);
    // The file that opens the archive goes first, in place of any old entry of its name.
    const qsizetype first = IndexOfFirstStoredEntry();
    if (first >= 0) {
        taken[static_cast<size_t>(first)] = true;
        steps.push_back({first, true, nullptr});
    }
    // Each old entry, in stored order, is replaced by a newer file of the same name or else carried over; a file
    // of its name is taken off the list either way.
    QHash<QByteArray, qsizetype> fileByName;
    if (!oldEntries.empty()) {
        for (qsizetype i = filesList_.size() - 1; i >= 0; --i) {
            fileByName.insert(StoredNameOf(filesList_[i]).toLower(), i);
        }
    }
    for (const StoredEntry& old : oldEntries) {
        if (first >= 0 && old.header.fileName == firstStoredEntry_) {
            continue;
        }
        const auto file = fileByName.constFind(old.header.fileName.toLower());
        if (file != fileByName.cend() && !taken[static_cast<size_t>(*file)]) {
            taken[static_cast<size_t>(*file)] = true;
            const QString& path = filesList_[*file];
            // A newer file that cannot be read after all leaves the old entry in place.
            if (IsNewerThan(path, old.header.lastModified)) {
                steps.push_back({*file, StoresUncompressed(path), &old});
                continue;
            }
        }
        steps.push_back({-1, false, &old});
    }
    for (qsizetype i = 0; i < filesList_.size(); ++i) {
        if (!taken[static_cast<size_t>(i)]) {
            steps.push_back({i, StoresUncompressed(filesList_[i]), nullptr});
        }
    }
    return steps;
}

bool ZipWriter::StoresUncompressed(const QString& path) const
{
    return packLevel_ == 0 || MatchesAny(FileNamePart(path), noCompressList_);
}

bool ZipWriter::AddFileEntry(const QString& path, bool store)
{
    const std::optional<struct stat> info = pool_->OpenNext();
    if (!info) {
        return false;
    }
    TZipHeaderInfo entry;
    entry.externalAttributes = StatusFrom(*info, path).attributes;
    entry.lastModified = DosDateTime(info->st_mtime);
    entry.uncompressedSize = static_cast<quint64>(info->st_size);
    entry.fileName = StoredNameOf(path);
    if (entries_.ContainsName(entry.fileName)) {
        pool_->Drop();
        return false;
    }
    entry.localExtra = UnicodePathExtra(entry.fileName);
    entry.centralExtra = entry.localExtra;
    entry.compressionMethod = store ? kMethodStore : kMethodDeflate;
    entry.flags = (store ? 0 : FlagsForLevel(packLevel_)) | NameEncodingFlag(entry.fileName);
    // Deflate may add a little to data that does not compress; the bound decides whether the sizes may need the
    // Zip64 form, which the provisional header must already have.
    const quint64 largestData = store ? entry.uncompressedSize : compressBound(entry.uncompressedSize);
    entry.zip64Sizes = largestData >= kZip64Value32;
    WriteLocalHeader(entry, *archive_);

    const PackedData data = WriteEntryData();
    if (data.uncompressedSize < info->st_size && hooks_.shortRead) {
        hooks_.shortRead(path, info->st_size, data.uncompressedSize);
    }
    entry.crc32 = data.crc32;
    entry.compressedSize = static_cast<quint64>(data.compressedSize);
    entry.uncompressedSize = static_cast<quint64>(data.uncompressedSize);
    if (!entry.zip64Sizes && NeedsZip64Sizes(entry)) {
        throw ZipError(QStringLiteral("%1 grew past 4 GiB while it was packed").arg(path));
    }
    RewriteLocalHeader(entry, *archive_);
    entries_.Add(entry);
    return true;
}

PackedData ZipWriter::WriteEntryData()
{
    for (;;) {
        const PackedBlock block = pool_->NextBlock();
        if (block.end) {
            return *block.end;
        }
        archive_->Write(block.bytes.data(), static_cast<qint64>(block.bytes.size()));
        bytesDone_ += block.bytesRead;
        if (hooks_.progress) {
            hooks_.progress(bytesDone_, bytesTotal_);
        }
        DispatchEvents();
    }
}

void ZipWriter::CarryOver(const StoredEntry& old, const ByteSource& oldArchive)
{
    TZipHeaderInfo entry = old.header;
    // The sizes go into the new local header, so no data descriptor follows the data.
    entry.flags &= static_cast<quint16>(~kFlagDataDescriptor);
    WriteLocalHeader(entry, *archive_);
    CopyArchiveBytes(oldArchive, old.dataOffset, static_cast<qint64>(entry.compressedSize), *archive_,
                     [this] { DispatchEvents(); });
    entries_.Add(entry);
}

void ZipWriter::FinishArchive()
{
    TEndCentral end;
    end.centralOffset = static_cast<quint64>(archive_->Position());
    for (qsizetype i = 0; i < entries_.Count(); ++i) {
        WriteCentralHeader(entries_.At(i), *archive_);
        ++end.entriesOnDisk;
        if (i % kCentralHeadersBetweenDispatches == kCentralHeadersBetweenDispatches - 1) {
            DispatchEvents();
        }
    }
    end.totalEntries = end.entriesOnDisk;
    end.centralSize = static_cast<quint64>(archive_->Position()) - end.centralOffset;
    WriteEndRecord(end, *archive_);
    archive_->Flush();
}

QString ZipWriter::FolderPart(const QString& path) const
{
    if (!storePaths_) {
        return {};
    }
    QString folder = path.left(path.lastIndexOf(kSeparator) + 1);
    if (relativePaths_) {
        for (const QString& prefix : relativePathList_) {
            if (!prefix.isEmpty() && folder.startsWith(prefix)) {
                folder.remove(0, prefix.size());
                break;
            }
        }
    }
    // There is no drive part on this platform; one leading separator goes, so that no name begins with "/".
    if (folder.startsWith(kSeparator)) {
        folder.remove(0, 1);
    }
    return folder;
}

QByteArray ZipWriter::StoredNameOf(const QString& path) const
{
    return StoredName(FolderPart(path), FileNamePart(path));
}

qsizetype ZipWriter::IndexOfFirstStoredEntry() const
{
    if (firstStoredEntry_.isEmpty()) {
        return -1;
    }
    for (qsizetype i = 0; i < filesList_.size(); ++i) {
        if (StoredNameOf(filesList_[i]) == firstStoredEntry_) {
            return i;
        }
    }
    return -1;
}

QString ZipWriter::TemporaryFolder() const
{
    return !tempPath_.isEmpty() && QFileInfo(tempPath_).isDir() ? tempPath_ : QDir::tempPath();
}

void ZipWriter::DispatchEventsDuring(const std::function<void()>& work)
{
    if (!doProcessMessages_ || !hooks_.dispatchEvents) {
        work();
        return;
    }
    std::future<void> done = std::async(std::launch::async, work);
    while (done.wait_for(kDispatchInterval) != std::future_status::ready) {
        DispatchEvents();
    }
    done.get();
}

void ZipWriter::DispatchEvents()
{
    if (!doProcessMessages_) {
        return;
    }
    if (hooks_.dispatchEvents) {
        hooks_.dispatchEvents();
    }
    if (hooks_.cancelRequested && hooks_.cancelRequested()) {
        throw EUserCanceled();
    }
}
