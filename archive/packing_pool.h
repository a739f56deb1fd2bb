#pragma once

#include "archive/archive_list.h"
#include "archive/file_attributes.h"
#include "archive/zip_entry_data.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A block of an entry's packed data as the pool hands it over: the first `size` bytes of `buffer`, with the content
// bytes taken for it. The pool's last word on an entry is a block without bytes that carries the outcome of the whole
// entry in `end`. The writer gives the buffer back (PackingPool::GiveBack) once it has written the bytes.
struct PackedBlock {
    std::vector<char> buffer;
    qint64 size = 0;
    qint64 bytesRead = 0;
    std::optional<PackedData> end;
};

// Packs the entries of an archive on worker threads, ahead of the one thread that writes the archive and takes the
// entries back strictly in list order, as pigz's writer does. Each entry is its own Deflate stream, so its bytes are
// the same whichever worker packs it and however many there are. Memory stays bounded: a few dozen entries at most
// are in flight at once, each worker makes one entry's content at a time, and a worker waits while the buffers of
// the packed data waiting for the writer have reached their limit in bytes, whether the entries are deflated or
// stored; the entry being written needs only a few blocks of lead, so a huge one streams through in blocks. Block
// buffers go round between the workers and the writer instead of being allocated for each block. Nothing here calls
// back into the writer but the `whileWaiting` it passes: it takes the blocks and does everything else on its own
// thread. Going out of scope stops the workers at their next block and joins them.
class PackingPool {
public:
    struct Settings {
        // Worker threads; at least one is started when there is an entry to pack.
        int workers = 1;
        int level = 6;
        // The archive being written, which is never packed into itself.
        FileStatus archive;
        // Buffers of packed data that may wait for the writer, all entries together; the entry being written may add
        // its lead.
        qint64 maxBytesWaiting = 4 * 1024 * 1024;
    };

    // What the writer does while it waits for the workers (let events through; it may raise to stop the packing).
    using WhileWaiting = std::function<void()>;

    // `list` stays the caller's and must outlive the pool.
    PackingPool(const ArchiveList& list, const Settings& settings);
    ~PackingPool();
    PackingPool(const PackingPool&) = delete;
    PackingPool& operator=(const PackingPool&) = delete;

    // Waits until the next entry of the list is open and returns what its content says of it; nothing when it is
    // the archive itself, which is skipped. An entry that cannot be opened fails the packing here, in list order,
    // with the error its opening raised.
    std::optional<EntryFacts> OpenNext(const WhileWaiting& whileWaiting = {});
    // The next block of the open entry, waiting for it. A failure of its worker is raised here, in list order,
    // after the blocks packed before it.
    PackedBlock NextBlock(const WhileWaiting& whileWaiting = {});
    // Takes back the buffer of a block the writer is done with, for a worker to fill again.
    void GiveBack(std::vector<char> buffer);
    // Gives up the open entry's data; its worker stops at its next block.
    void Drop();

private:
    // An entry in flight, in a ring of slots that the entries of the list take in turn.
    struct Job {
        // The entry of the list this slot holds now.
        qsizetype index = -1;
        std::optional<EntryFacts> facts;
        bool dropped = false;
        // The worker has let go of the entry: its last block, or its failure, is queued, or it was stopped.
        bool finished = false;
        std::deque<PackedBlock> blocks;
        std::exception_ptr failure;
    };
    class JobOutput;
    class StoppableWriter;

    void Work();
    std::optional<qsizetype> TakeNextJob();
    void RunJob(qsizetype index, std::unique_ptr<DeflateEngine>& engine);
    PackedData Pack(qsizetype index, EntryContent& content, std::unique_ptr<DeflateEngine>& engine);
    // Waits on the writer's condition until `ready`, running `whileWaiting` at regular moments with the lock
    // released.
    template <typename Ready>
    void WaitForWriter(std::unique_lock<std::mutex>& lock, const WhileWaiting& whileWaiting, Ready ready);
    // A buffer of at least `size` bytes, a given-back one when there is one.
    std::vector<char> TakeBuffer(qint64 size);
    // Queues a block of entry `index`, waiting for room; raises Stopped when the entry is dropped or the pool stops.
    void Queue(qsizetype index, PackedBlock block);
    // Removes a block from the count of bytes waiting, and keeps its buffer for another block.
    void Release(PackedBlock& block);
    void ThrowIfStopped(qsizetype index);
    bool HasRoom(qsizetype index, qint64 size) const;
    // The worker lets go of the entry: with its outcome as the last block, or with its failure.
    void Finish(qsizetype index, std::optional<PackedData> outcome, std::exception_ptr failure);
    // Wakes the writer when entry `index` is the one it waits for; unlocks `lock`.
    void NotifyWriterOf(qsizetype index, std::unique_lock<std::mutex>& lock);
    // The writer is done with its entry; the next one takes its place.
    void Advance();
    void Stop();
    Job& Slot(qsizetype index);
    const Job& Slot(qsizetype index) const;

    const ArchiveList& list_;
    const qsizetype count_;
    const Settings settings_;
    std::mutex mutex_;
    // The writer waits for its entry; workers wait for an entry to take, and for room for a block.
    std::condition_variable fileReady_;
    std::condition_variable windowMoved_;
    std::condition_variable roomFreed_;
    std::vector<Job> slots_;
    std::vector<std::vector<char>> freeBuffers_;
    // The entry the writer is on, and the next entry for a worker to take.
    qsizetype current_ = 0;
    qsizetype next_ = 0;
    qint64 bytesWaiting_ = 0;
    bool stopping_ = false;
    // Last, so that the workers are joined before anything they use goes.
    std::vector<std::jthread> workers_;
};

// One worker per hardware thread, at least one.
int DefaultWorkerCount();
