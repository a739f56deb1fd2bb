#pragma once

#include "archive/file_attributes.h"
#include "archive/zip_entry_data.h"

#include <QString>

#include <sys/stat.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// One file for the pool to pack: deflated, or copied unchanged when `store` is set.
struct PoolSource {
    QString path;
    bool store = false;
};

// A block of a file's packed data as the pool hands it over: the first `size` bytes of `buffer`, with the source bytes
// read for it. The pool's last word on a file is a block without bytes that carries the outcome of the whole file
// in `end`. The writer gives the buffer back (PackingPool::GiveBack) once it has written the bytes.
struct PackedBlock {
    std::vector<char> buffer;
    qint64 size = 0;
    qint64 bytesRead = 0;
    std::optional<PackedData> end;
};

// Packs the files of an archive on worker threads, ahead of the one thread that writes the archive and takes the
// files back strictly in list order, as pigz's writer does. Each file is its own Deflate stream, so its bytes are
// the same whichever worker packs it and however many there are. Memory stays bounded: a few dozen files at most
// are in flight at once, and a worker waits while the buffers of the packed data waiting for the writer have
// reached their limit in bytes, whether the files are deflated or stored; the file being written needs only a few
// blocks of lead, so a huge one streams through in blocks. Block buffers go round between the workers and the
// writer instead of being allocated for each block. Nothing here
// calls back into the writer: it takes the blocks and does everything else on its own thread. Going out of scope
// stops the workers at their next block and joins them.
class PackingPool {
public:
    struct Settings {
        // Worker threads; at least one is started when there is a file to pack.
        int workers = 1;
        int level = 6;
        // The archive being written, which is never packed into itself.
        FileStatus archive;
        // Buffers of packed data that may wait for the writer, all files together; the file being written may add
        // its lead.
        qint64 maxBytesWaiting = 4 * 1024 * 1024;
    };

    PackingPool(std::vector<PoolSource> sources, const Settings& settings);
    ~PackingPool();
    PackingPool(const PackingPool&) = delete;
    PackingPool& operator=(const PackingPool&) = delete;

    // The files to pack, in list order; they never change, so any thread may read them.
    const std::vector<PoolSource>& Sources() const { return sources_; }
    // Waits until the next file of the list is open and returns what the file system says of it; nothing when it is
    // the archive itself, which is skipped. A file that cannot be opened or examined, or is no regular file, fails
    // the packing here, in list order (EFReadError, with the system's reason).
    std::optional<struct stat> OpenNext();
    // The next block of the open file, waiting for it. A failure of its worker is raised here, in list order,
    // after the blocks packed before it.
    PackedBlock NextBlock();
    // Takes back the buffer of a block the writer is done with, for a worker to fill again.
    void GiveBack(std::vector<char> buffer);
    // Gives up the open file's data; its worker stops at its next block.
    void Drop();

private:
    // A file in flight, in a ring of slots that the files of the list take in turn.
    struct Job {
        // The file of the list this slot holds now.
        qsizetype index = -1;
        std::optional<struct stat> info;
        bool dropped = false;
        // The worker has let go of the file: its last block, or its failure, is queued, or it was stopped.
        bool finished = false;
        std::deque<PackedBlock> blocks;
        std::exception_ptr failure;
    };
    class JobOutput;
    class StoppableReader;

    void Work();
    std::optional<qsizetype> TakeNextJob();
    void RunJob(qsizetype index, std::unique_ptr<DeflateEngine>& engine);
    PackedData PackOpenFile(qsizetype index, int descriptor, qint64 size, std::unique_ptr<DeflateEngine>& engine);
    // A buffer of at least `size` bytes, a given-back one when there is one.
    std::vector<char> TakeBuffer(qint64 size);
    // Queues a block of file `index`, waiting for room; raises Stopped when the file is dropped or the pool stops.
    void Queue(qsizetype index, PackedBlock block);
    // Removes a block from the count of bytes waiting, and keeps its buffer for another block.
    void Release(PackedBlock& block);
    void ThrowIfStopped(qsizetype index);
    bool HasRoom(qsizetype index, qint64 size) const;
    // The worker lets go of the file: with its outcome as the last block, or with its failure.
    void Finish(qsizetype index, std::optional<PackedData> outcome, std::exception_ptr failure);
    // Wakes the writer when file `index` is the one it waits for; unlocks `lock`.
    void NotifyWriterOf(qsizetype index, std::unique_lock<std::mutex>& lock);
    // The writer is done with its file; the next one takes its place.
    void Advance();
    void Stop();
    Job& Slot(qsizetype index);
    const Job& Slot(qsizetype index) const;

    const std::vector<PoolSource> sources_;
    const Settings settings_;
    std::mutex mutex_;
    // The writer waits for its file; workers wait for a file to take, and for room for a block.
    std::condition_variable fileReady_;
    std::condition_variable windowMoved_;
    std::condition_variable roomFreed_;
    std::vector<Job> slots_;
    std::vector<std::vector<char>> freeBuffers_;
    // The file the writer is on, and the next file for a worker to take.
    qsizetype current_ = 0;
    qsizetype next_ = 0;
    qint64 bytesWaiting_ = 0;
    bool stopping_ = false;
    // Last, so that the workers are joined before anything they use goes.
    std::vector<std::jthread> workers_;
};

// One worker per hardware thread, at least one.
int DefaultWorkerCount();
