#include "archive/zip_writer.h"

#include "archive/byte_sink.h"
#include "archive/dos_time.h"
#include "archive/file_list.h"
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

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <future>

namespace {

// Every file that is not stored is deflated at this level.
constexpr int kPackLevel = 6;
constexpr QChar kSeparator = u'/';
// How often the central directory, a record for every file, lets events through while it is written.
constexpr qsizetype kCentralHeadersBetweenDispatches = 4096;
// How often events get through while the writer waits for work of the system's.
constexpr std::chrono::milliseconds kDispatchInterval(20);

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
    std::vector<ListedFile> files = ExpandFileList(filesList_, rootDir_, zipName_, [this] { DispatchEvents(); });
    filesList_.clear();
    const auto first = std::find_if(files.begin(), files.end(), [this](const ListedFile& file) {
        return !firstStoredEntry_.isEmpty() && file.storedName == firstStoredEntry_;
    });
    for (ListedFile& file : files) {
        if (MatchesAny(FileNamePart(file.path), noCompressList_)) {
            file.method = EntryMethod::Store;
        }
    }
    if (first != files.end()) {
        first->method = EntryMethod::Store;
        std::rotate(files.begin(), first, first + 1);
    }
    return WriteArchive(FileList(std::move(files)));
}

int ZipWriter::WriteArchive(const ArchiveList& list)
{
    if (TrimmedName(zipName_).isEmpty()) {
        return 0;
    }
    const QString folder = FolderOfPath(zipName_);
    RemoveAbandonedFiles(folder, leftoverCheck_);
    PendingFile file = PendingFile::CreateLockedBeside(zipName_);
    try {
        const int added = PackEntries(list, file.Descriptor());
        // The disk may take a while to take a whole archive; the person's events go on meanwhile.
        DispatchEventsDuring([&file] { file.FlushToDisk(); });
        file.FinishInPlaceOf(zipName_, zipAction_ == zaReplace);
        return added;
    } catch (const ENotEnoughRoom&) {
        // The person needs to know where room is lacking: the archive's folder, not the file's temporary name.
        throw ENotEnoughRoom(folder);
    }
}

std::unique_ptr<ByteSink> ZipWriter::OpenArchiveSink(int descriptor)
{
    return std::make_unique<FileSink>(descriptor);
}

int ZipWriter::PackEntries(const ArchiveList& list, int descriptor)
{
    struct stat output {};
    ::fstat(descriptor, &output);
    const std::unique_ptr<ByteSink> sink = OpenArchiveSink(descriptor);
    ArchiveOutput archive(*sink);
    entries_.Clear();
    bytesDone_ = 0;
    bytesTotal_ = 0;
    for (qsizetype i = 0; i < list.Count(); ++i) {
        bytesTotal_ += list.ExpectedSize(i);
    }

    PackingPool::Settings poolSettings;
    poolSettings.workers = workerThreads_;
    poolSettings.level = kPackLevel;
    poolSettings.archive.device = output.st_dev;
    poolSettings.archive.inode = output.st_ino;
    PackingPool pool(list, poolSettings);
    archive_ = &archive;
    pool_ = &pool;
    const auto detach = qScopeGuard([this] {
        archive_ = nullptr;
        pool_ = nullptr;
    });
    int added = 0;
    for (qsizetype i = 0; i < list.Count(); ++i) {
        if (AddEntry(list, i)) {
            ++added;
        }
    }
    FinishArchive();
    return added;
}

bool ZipWriter::AddEntry(const ArchiveList& list, qsizetype index)
{
    const std::optional<EntryFacts> facts = pool_->OpenNext([this] { DispatchEvents(); });
    if (!facts) {
        return false;
    }
    const bool store = list.Method(index) == EntryMethod::Store;
    TZipHeaderInfo entry;
    entry.externalAttributes = facts->attributes;
    entry.lastModified = DosDateTime(facts->modified);
    entry.uncompressedSize = static_cast<quint64>(facts->size);
    entry.fileName = StoredName(QString(), QString::fromUtf8(list.StoredName(index)));
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
    if (data.uncompressedSize < facts->size && hooks_.shortRead) {
        hooks_.shortRead(facts->source, facts->size, data.uncompressedSize);
    }
    entry.crc32 = data.crc32;
    entry.compressedSize = static_cast<quint64>(data.compressedSize);
    entry.uncompressedSize = static_cast<quint64>(data.uncompressedSize);
    if (!entry.zip64Sizes && NeedsZip64Sizes(entry)) {
        throw ZipError(QStringLiteral("%1 grew past 4 GiB while it was packed").arg(facts->source));
    }
    RewriteLocalHeader(entry, *archive_);
    entries_.Add(entry);
    return true;
}

PackedData ZipWriter::WriteEntryData()
{
    for (;;) {
        PackedBlock block = pool_->NextBlock([this] { DispatchEvents(); });
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
