#include "archive/packing_pool.h"

#include "archive/zip_errors.h"

#include <algorithm>
#include <chrono>

namespace {

// Entries in flight at once: the one being written and those packed ahead of it. Small files take a worker a few
// dozen microseconds each; a lead of this many lets the workers and the writer go on without waking each other for
// every entry. Their data counts against the limit of bytes waiting like any other.
constexpr qsizetype kEntriesInFlight = 32;
// Blocks the entry being written may have waiting; the writer takes them as they come.
constexpr size_t kLeadBlocks = 4;
// Given-back buffers kept for the workers; more are let go, so that the memory of a peak is returned.
constexpr size_t kFreeBuffersKept = 16;
// A block that fills at most this share of its buffer is kept in a copy of its own size, and the buffer goes back
// at once: the last block of a small entry would otherwise hold a whole buffer while it waits.
constexpr qint64 kSmallBlockShare = 4;
// How often a waiting writer runs what it does while it waits.
constexpr std::chrono::milliseconds kWaitingInterval(20);

// Raised inside a worker when its entry was dropped or the pool is stopping, to leave the packing at once.
struct Stopped {};

}  // namespace

// Hands each block of an entry's packed data to the pool.
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

// Passes an entry's content to its packer, stopping before each write once the entry is dropped or the pool stops,
// so that content that compresses well, with many writes between two blocks of output, does not hold the worker up.
class PackingPool::StoppableWriter final : public EntryWriter {
public:
    StoppableWriter(PackingPool& pool, qsizetype index, EntryWriter& packer)
        : pool_(pool),
          index_(index),
          packer_(packer)
    {}

    void Write(const char* data, qint64 size) override
    {
        pool_.ThrowIfStopped(index_);
        packer_.Write(data, size);
    }

private:
    PackingPool& pool_;
    qsizetype index_;
    EntryWriter& packer_;
};

PackingPool::PackingPool(const ArchiveList& list, const Settings& settings)
    : list_(list),
      count_(list.Count()),
      settings_(settings),
      slots_(kEntriesInFlight)
{
    if (count_ == 0) {
        return;
    }
    const auto count = std::clamp<qsizetype>(settings_.workers, 1, count_);
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

template <typename Ready>
void PackingPool::WaitForWriter(std::unique_lock<std::mutex>& lock, const WhileWaiting& whileWaiting, Ready ready)
{
    if (!whileWaiting) {
        fileReady_.wait(lock, ready);
        return;
    }
    while (!fileReady_.wait_for(lock, kWaitingInterval, ready)) {
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

std::optional<EntryFacts> PackingPool::OpenNext(const WhileWaiting& whileWaiting)
{
    std::unique_lock lock(mutex_);
    const qsizetype index = current_;
    WaitForWriter(lock, whileWaiting, [&] {
        const Job& job = Slot(index);
        return job.index == index && (job.facts || job.finished);
    });
    Job& job = Slot(index);
    if (job.facts) {
        return job.facts;
    }
    const std::exception_ptr failure = job.failure;
    Advance();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return std::nullopt;
}

PackedBlock PackingPool::NextBlock(const WhileWaiting& whileWaiting)
{
    std::unique_lock lock(mutex_);
    Job& job = Slot(current_);
    WaitForWriter(lock, whileWaiting, [&] { return !job.blocks.empty() || job.finished; });
    if (job.blocks.empty()) {
        const std::exception_ptr failure = job.failure;
        Advance();
        if (failure) {
            std::rethrow_exception(failure);
        }
        // A worker lets go of the entry being written without its outcome only when the pool stops.
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
    windowMoved_.wait(lock, [&] { return stopping_ || next_ >= count_ || next_ < current_ + kEntriesInFlight; });
    if (stopping_ || next_ >= count_) {
        return std::nullopt;
    }
    const qsizetype index = next_++;
    // The slot's earlier entry is done with: the writer has moved past it, and its worker let go of it.
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
        const std::unique_ptr<EntryContent> content = list_.Open(index);
        const EntryFacts& facts = content->Facts();
        // Reading the archive while it is being written would never end.
        if (!(facts.file && facts.file->IsSameFile(settings_.archive))) {
            std::unique_lock lock(mutex_);
            Slot(index).facts = facts;
            NotifyWriterOf(index, lock);
            outcome = Pack(index, *content, engine);
        }
    } catch (const Stopped&) {
    } catch (...) {
        failure = std::current_exception();
    }
    Finish(index, outcome, failure);
}

PackedData PackingPool::Pack(qsizetype index, EntryContent& content, std::unique_ptr<DeflateEngine>& engine)
{
    const EntryMethod method = list_.Method(index);
    if (method == EntryMethod::Deflate && !engine) {
        engine = std::make_unique<DeflateEngine>(settings_.level);
    }
    JobOutput output(*this, index);
    EntryPacker packer(method, engine.get(), output);
    StoppableWriter writer(*this, index, packer);
    content.WriteTo(writer);
    return packer.Finish();
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
    // The writer waits only for the entry it is on; news of a later entry waits until it gets there.
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
    return slots_[static_cast<size_t>(index % kEntriesInFlight)];
}

const PackingPool::Job& PackingPool::Slot(qsizetype index) const
{
    return slots_[static_cast<size_t>(index % kEntriesInFlight)];
}

int DefaultWorkerCount()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}
