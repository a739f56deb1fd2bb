#include "archive/zip_writer.h"

#include "archive/byte_sink.h"
#include "archive/dir_search.h"
#include "archive/dos_time.h"
#include "common/file_descriptor.h"
#include "archive/packing_pool.h"
#include "archive/pending_file.h"
#include "archive/wildcard.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_errors.h"
#include "common/cancellation.h"
#include "common/file_name.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <chrono>
#include <future>

namespace {

// A line of FilesList holding one of these characters is a wildcard pattern, not a single file.
constexpr char kWildcardCharacters[] = "*?";
// Every file that is not stored is deflated at this level.
constexpr int kPackLevel = 6;
constexpr QChar kSeparator = u'/';
// How often the central directory, a record for every file, lets events through while it is written.
constexpr qsizetype kCentralHeadersBetweenDispatches = 4096;
// How often events get through while the writer waits for work of the system's.
constexpr std::chrono::milliseconds kDispatchInterval(20);

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

}  // namespace

ZipWriter::ZipWriter(PackingHooks hooks) : hooks_(std::move(hooks)), workerThreads_(DefaultWorkerCount()) {}

ZipWriter::~ZipWriter() = default;

void ZipWriter::SetRootDir(const QString& rootDir)
{
    rootDir_ = rootDir.endsWith(kSeparator) ? rootDir : rootDir + kSeparator;
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
    RemoveAbandonedFiles(FolderOfPath(zipName_));
    PendingFile file = PendingFile::CreateLockedBeside(zipName_);
    const int added = PackFiles(file.Descriptor());
    // The disk may take a while to take a whole archive; the person's events go on meanwhile.
    DispatchEventsDuring([&file] { file.FlushToDisk(); });
    file.FinishInPlaceOf(zipName_, zipAction_ == zaReplace);
    return added;
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

void ZipWriter::ExpandPattern(const QString& pattern, const std::optional<FileStatus>& archive, QStringList* files)
{
    const qsizetype separator = pattern.lastIndexOf(kSeparator);
    const QString folder = pattern.left(separator + 1);
    QString mask = pattern.mid(separator + 1);
    if (mask == QLatin1String("*.*")) {
        mask = QStringLiteral("*");
    }
    if (folder.isEmpty()) {
        return;
    }
    TDirSearch search(folder, mask);
    TDirSearch::Found found;
    while (search.Next(&found)) {
        if (found.status.IsFolder()) {
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

std::unique_ptr<ByteSink> ZipWriter::OpenArchiveSink(int descriptor)
{
    return std::make_unique<FileSink>(descriptor);
}

int ZipWriter::PackFiles(int descriptor)
{
    struct stat output {};
    ::fstat(descriptor, &output);
    outputFile_.device = output.st_dev;
    outputFile_.inode = output.st_ino;
    const std::unique_ptr<ByteSink> sink = OpenArchiveSink(descriptor);
    ArchiveOutput archive(*sink);
    entries_.Clear();
    bytesDone_ = 0;

    PackingPool::Settings poolSettings;
    poolSettings.workers = workerThreads_;
    poolSettings.level = kPackLevel;
    poolSettings.archive = outputFile_;
    // The pool holds the one list of the files from here on.
    PackingPool pool(OrderedSources(), poolSettings);
    filesList_.clear();
    archive_ = &archive;
    pool_ = &pool;
    const auto detach = qScopeGuard([this] {
        archive_ = nullptr;
        pool_ = nullptr;
    });
    int added = 0;
    for (const PoolSource& source : pool.Sources()) {
        if (AddFileEntry(source.path, source.store)) {
            ++added;
        }
    }
    FinishArchive();
    return added;
}

std::vector<PoolSource> ZipWriter::OrderedSources() const
{
    std::vector<PoolSource> sources;
    sources.reserve(static_cast<size_t>(filesList_.size()));
    const qsizetype first = IndexOfFirstStoredEntry();
    if (first >= 0) {
        sources.push_back({filesList_[first], true});
    }
    for (qsizetype i = 0; i < filesList_.size(); ++i) {
        if (i != first) {
            sources.push_back({filesList_[i], StoresUncompressed(filesList_[i])});
        }
    }
    return sources;
}

bool ZipWriter::StoresUncompressed(const QString& path) const
{
    return MatchesAny(FileNamePart(path), noCompressList_);
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
    entry.flags = (store ? 0 : FlagsForLevel(kPackLevel)) | NameEncodingFlag(entry.fileName);
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
        PackedBlock block = pool_->NextBlock();
        if (block.end) {
            return *block.end;
        }
        archive_->Write(block.buffer.data(), block.size);
        pool_->GiveBack(std::move(block.buffer));
        bytesDone_ += block.bytesRead;
        if (hooks_.progress) {
            hooks_.progress(bytesDone_, bytesTotal_);
        }
        DispatchEvents();
    }
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

QByteArray ZipWriter::StoredNameOf(const QString& path) const
{
    QString folder = path.left(path.lastIndexOf(kSeparator) + 1);
    if (!rootDir_.isEmpty() && folder.startsWith(rootDir_)) {
        folder.remove(0, rootDir_.size());
    }
    // One leading separator goes, so that no name begins with "/".
    if (folder.startsWith(kSeparator)) {
        folder.remove(0, 1);
    }
    return StoredName(folder, FileNamePart(path));
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

void ZipWriter::DispatchEventsDuring(const std::function<void()>& work)
{
    if (!hooks_.dispatchEvents) {
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
    if (hooks_.dispatchEvents) {
        hooks_.dispatchEvents();
    }
    if (hooks_.cancelRequested && hooks_.cancelRequested()) {
        throw EUserCanceled();
    }
}
