#include "archive/packing_pool.h"

#include "archive/byte_source.h"
#include "common/file_descriptor.h"
#include "archive/zip_errors.h"

#include <QFile>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Files in flight at once: the one being written and those packed ahead of it. A book's pages are small files
// that take a worker a few dozen microseconds each; a lead of this many lets the workers and the writer go on
// without waking each other for every file. Their data counts against the limit of bytes waiting like any other.
constexpr qsizetype kFilesInFlight = 32;
// Blocks the file being written may have waiting; the writer takes them as they come.
constexpr size_t kLeadBlocks = 4;
// Given-back buffers kept for the workers; more are let go, so that the memory of a peak is returned.
constexpr size_t kFreeBuffersKept = 16;
// A block that fills at most this share of its buffer is kept in a copy of its own size, and the buffer goes back
// at once: the last block of a small file would otherwise hold a whole buffer while it waits.
constexpr qint64 kSmallBlockShare = 4;

// Raised inside a worker when its file was dropped or the pool is stopping, to leave the packing at once.
struct Stopped {};

QString SystemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace

// Hands each block of a file's packed data to the pool.
class PackingPool::JobOutput final : public EntryDataOutput {
public:
    JobOutput(PackingPool& pool, qsizetype index) : pool_(pool), index_(index) {}

    std::vector<char> TakeBuffer(qint64 size) override { return pool_.TakeBuffer(size); }

    void Put(std::vector<char> buffer, qint64 size, qint64 bytesRead) override
    {
        if (size * kSmallBlockShare <= static_cast<qint64>(buffer.size())) {
            std::vector<char> fitted(buffer.data(), buffer.data() + size);
            pool_.GiveBack(std::move(buffer));
            buffer = std::move(fitted);
        }
        PackedBlock block;
        block.buffer = std::move(buffer);
        block.size = size;
        block.bytesRead = bytesRead;
        pool_.Queue(index_, std::move(block));
    }

private:
    PackingPool& pool_;
    qsizetype index_;
};

// Reads a file for a worker, stopping before each block once the file is dropped or the pool stops, so that a
// file that compresses well, with many reads between two blocks of output, does not hold the worker up.
class PackingPool::StoppableReader final : public ByteReader {
public:
    StoppableReader(PackingPool& pool, qsizetype index, ByteReader& source)
        : pool_(pool),
          index_(index),
          source_(source)
    {}

    qint64 Read(char* data, qint64 size) override
    {
        pool_.ThrowIfStopped(index_);
        return source_.Read(data, size);
    }

private:
    PackingPool& pool_;
    qsizetype index_;
    ByteReader& source_;
};

PackingPool::PackingPool(std::vector<PoolSource> sources, const Settings& settings)
    : sources_(std::move(sources)),
      settings_(settings),
      slots_(kFilesInFlight)
{
    if (sources_.empty()) {
        return;
    }
    const auto count = std::clamp<qsizetype>(settings_.workers, 1, static_cast<qsizetype>(sources_.size()));
    try {
        for (qsizetype i = 0; i < count; ++i) {
            workers_.emplace_back([this] { Work(); });
        }
    } catch (...) {
        // The workers already started would otherwise wait for a writer that never comes.
        Stop();
        throw;
    }
}

PackingPool::~PackingPool()
{
    Stop();
    workers_.clear();
}

std::optional<struct stat> PackingPool::OpenNext()
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(current_);
    fileReady_.wait(lock, [&] { return job.index == current_ && (job.info || job.finished); });
    if (job.info) {
        return job.info;
    }
    const std::exception_ptr failure = job.failure;
    Advance();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return std::nullopt;
}

PackedBlock PackingPool::NextBlock()
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(current_);
    fileReady_.wait(lock, [&] { return !job.blocks.empty() || job.finished; });
    if (job.blocks.empty()) {
        const std::exception_ptr failure = job.failure;
        Advance();
        if (failure) {
            std::rethrow_exception(failure);
        }
        // A worker lets go of the file being written without its outcome only when the pool stops.
        throw ZipError(QStringLiteral("The packing of a file stopped before its end."));
    }
    PackedBlock block = std::move(job.blocks.front());
    job.blocks.pop_front();
    bytesWaiting_ -= static_cast<qint64>(block.buffer.size());
    if (block.end) {
        Advance();
    } else {
        lock.unlock();
        roomFreed_.notify_all();
    }
    return block;
}

void PackingPool::Drop()
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(current_);
    job.dropped = true;
    roomFreed_.notify_all();
    fileReady_.wait(lock, [&] { return job.finished; });
    for (PackedBlock& block : job.blocks) {
        Release(block);
    }
    job.blocks.clear();
    Advance();
}

void PackingPool::GiveBack(std::vector<char> buffer)
{
    const std::lock_guard lock(mutex_);
    if (freeBuffers_.size() < kFreeBuffersKept) {
        freeBuffers_.push_back(std::move(buffer));
    }
}

void PackingPool::Release(PackedBlock& block)
{
    bytesWaiting_ -= static_cast<qint64>(block.buffer.size());
    if (freeBuffers_.size() < kFreeBuffersKept) {
        freeBuffers_.push_back(std::move(block.buffer));
    }
}

std::vector<char> PackingPool::TakeBuffer(qint64 size)
{
    std::vector<char> buffer;
    {
        const std::lock_guard lock(mutex_);
        if (!freeBuffers_.empty()) {
            buffer = std::move(freeBuffers_.back());
            freeBuffers_.pop_back();
        }
    }
    if (static_cast<qint64>(buffer.size()) < size) {
        buffer.resize(static_cast<size_t>(size));
    }
    return buffer;
}

void PackingPool::Work()
{
    std::unique_ptr<DeflateEngine> engine;
    while (const std::optional<qsizetype> index = TakeNextJob()) {
        RunJob(*index, engine);
    }
}

std::optional<qsizetype> PackingPool::TakeNextJob()
{
    std::unique_lock lock(mutex_);
    const auto count = static_cast<qsizetype>(sources_.size());
    windowMoved_.wait(lock, [&] { return stopping_ || next_ >= count || next_ < current_ + kFilesInFlight; });
    if (stopping_ || next_ >= count) {
        return std::nullopt;
    }
    const qsizetype index = next_++;
    // The slot's earlier file is done with: the writer has moved past it, and its worker let go of it.
    Job& job = Slot(index);
    job = Job();
    job.index = index;
    return index;
}

void PackingPool::RunJob(qsizetype index, std::unique_ptr<DeflateEngine>& engine)
{
    std::optional<PackedData> outcome;
    std::exception_ptr failure;
    try {
        const PoolSource& source = sources_[static_cast<size_t>(index)];
        // Opening without waiting: a FIFO put in a file's place since the walk would otherwise block for good.
        const FileDescriptor file(
            ::open(QFile::encodeName(source.path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        const QString problem = !file.IsOpen() || ::fstat(file.Get(), &info) != 0 ? SystemReason(errno)
                                : !S_ISREG(info.st_mode)                          ? QStringLiteral("Not a regular file")
                                                                                  : QString();
        if (!problem.isEmpty()) {
            throw EFReadError(QStringLiteral("open file"), source.path, problem);
        }
        if (!(info.st_dev == settings_.archive.device && info.st_ino == settings_.archive.inode)) {
            // Reading the archive while it is being written would never end.
            std::unique_lock lock(mutex_);
            Slot(index).info = info;
            NotifyWriterOf(index, lock);
            outcome = PackOpenFile(index, file.Get(), info.st_size, engine);
        }
    } catch (const Stopped&) {
    } catch (...) {
        failure = std::current_exception();
    }
    Finish(index, outcome, failure);
}

PackedData PackingPool::PackOpenFile(qsizetype index, int descriptor, qint64 size,
                                     std::unique_ptr<DeflateEngine>& engine)
{
    FileReader file(descriptor, size, sources_[static_cast<size_t>(index)].path);
    StoppableReader reader(*this, index, file);
    JobOutput output(*this, index);
    if (sources_[static_cast<size_t>(index)].store) {
        return StoreEntryData(reader, output);
    }
    if (!engine) {
        engine = std::make_unique<DeflateEngine>(settings_.level);
    }
    return DeflateEntryData(reader, *engine, output);
}

void PackingPool::Queue(qsizetype index, PackedBlock block)
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(index);
    const auto size = static_cast<qint64>(block.buffer.size());
    roomFreed_.wait(lock, [&] { return stopping_ || job.dropped || HasRoom(index, size); });
    if (stopping_ || job.dropped) {
        throw Stopped();
    }
    bytesWaiting_ += size;
    job.blocks.push_back(std::move(block));
    NotifyWriterOf(index, lock);
}

void PackingPool::ThrowIfStopped(qsizetype index)
{
    const std::lock_guard lock(mutex_);
    if (stopping_ || Slot(index).dropped) {
        throw Stopped();
    }
}

bool PackingPool::HasRoom(qsizetype index, qint64 size) const
{
    if (index == current_) {
        return Slot(index).blocks.size() < kLeadBlocks;
    }
    return bytesWaiting_ + size <= settings_.maxBytesWaiting;
}

void PackingPool::Finish(qsizetype index, std::optional<PackedData> outcome, std::exception_ptr failure)
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(index);
    if (outcome) {
        PackedBlock end;
        end.end = outcome;
        job.blocks.push_back(std::move(end));
    }
    job.failure = std::move(failure);
    job.finished = true;
    NotifyWriterOf(index, lock);
}

void PackingPool::NotifyWriterOf(qsizetype index, std::unique_lock<std::mutex>& lock)
{
    // The writer waits only for the file it is on; news of a later file waits until it gets there.
    const bool waited = index == current_;
    lock.unlock();
    if (waited) {
        fileReady_.notify_one();
    }
}

void PackingPool::Advance()
{
    ++current_;
    windowMoved_.notify_all();
    roomFreed_.notify_all();
}

void PackingPool::Stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    windowMoved_.notify_all();
    roomFreed_.notify_all();
}

PackingPool::Job& PackingPool::Slot(qsizetype index)
{
    return slots_[static_cast<size_t>(index % kFilesInFlight)];
}

const PackingPool::Job& PackingPool::Slot(qsizetype index) const
{
    return slots_[static_cast<size_t>(index % kFilesInFlight)];
}

int DefaultWorkerCount()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}
