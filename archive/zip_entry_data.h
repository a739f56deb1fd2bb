#pragma once

#include "archive/archive_list.h"

#include <QtGlobal>

#include <memory>
#include <vector>

// Blocks out of the compression engine.
inline constexpr qint64 kDeflateBlockSize = 65535;
// Blocks of data copied unchanged.
inline constexpr qint64 kStoreBlockSize = 32768;

// Takes an entry's packed data block by block, with the number of source bytes taken since the block before. The
// last block comes once the data is complete (it may be empty), so every entry gives at least one. The output lends
// the buffers: the packing asks for one, writes the block straight into it and hands it over, so that no block is
// copied on its way and an output may use its buffers again.
class EntryDataOutput {
public:
    virtual ~EntryDataOutput() = default;

    // A buffer of at least `size` bytes for the next block.
    virtual std::vector<char> TakeBuffer(qint64 size) = 0;
    // The next block: the first `size` bytes of `buffer`.
    virtual void Put(std::vector<char> buffer, qint64 size, qint64 bytesRead) = 0;
};

// The outcome of packing one entry's data: the CRC-32 of the bytes taken, and the two sizes.
struct PackedData {
    quint32 crc32 = 0;
    qint64 compressedSize = 0;
    qint64 uncompressedSize = 0;
};

// zlib's deflate set up for raw Deflate (window bits -15, memory level 8, default strategy) at one level. One engine
// serves entry after entry, so that an archive of many small files does not set up and tear down the engine's state for
// each. Raises EZCompressionError when zlib refuses the settings.
class DeflateEngine {
public:
    explicit DeflateEngine(int level);
    ~DeflateEngine();
    DeflateEngine(const DeflateEngine&) = delete;
    DeflateEngine& operator=(const DeflateEngine&) = delete;

private:
    friend class EntryPacker;
    struct State;
    std::unique_ptr<State> state_;
};

// Packs one entry's data as it is written to it, into blocks for `output`: deflated by `engine` as one raw Deflate
// stream of its own (so its bytes depend only on the data and the level, never on the entries before it, nor on how
// the data was cut into writes), or copied unchanged in blocks of kStoreBlockSize. Raises EZCompressionError when the
// engine reports a failure; whatever the output raises passes through.
class EntryPacker final : public EntryWriter {
public:
    // `engine` is needed only to deflate; it may be null to store.
    EntryPacker(EntryMethod method, DeflateEngine* engine, EntryDataOutput& output);
    EntryPacker(const EntryPacker&) = delete;
    EntryPacker& operator=(const EntryPacker&) = delete;

    void Write(const char* data, qint64 size) override;
    // Ends the data: the last block goes to the output. Returns the entry's CRC and sizes.
    PackedData Finish();

private:
    void Deflate(const char* data, qint64 size, int flush);
    void Store(const char* data, qint64 size);
    void TakeBlock(qint64 size);
    void PutBlock(qint64 size);

    EntryMethod method_;
    DeflateEngine* engine_;
    EntryDataOutput& output_;
    std::vector<char> block_;
    // Bytes of the block filled so far when storing.
    qint64 stored_ = 0;
    qint64 takenSinceBlock_ = 0;
    PackedData packed_;
};
