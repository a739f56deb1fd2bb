#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class ByteReader;

// Blocks into and out of the compression engine.
inline constexpr qint64 kDeflateBlockSize = 65535;
// Blocks of data copied unchanged.
inline constexpr qint64 kStoreBlockSize = 32768;

// Takes an entry's packed data block by block, with the number of source bytes read since the block before. The
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

// The outcome of packing one entry's data: the CRC-32 of the bytes read, and the two sizes.
struct PackedData {
    quint32 crc32 = 0;
    qint64 compressedSize = 0;
    qint64 uncompressedSize = 0;
};

// zlib's deflate set up for raw Deflate (window bits -15, memory level 8, default strategy) at one level, with
// its blocks in and out. One engine serves entry after entry, so that a book of many small files does not set
// up and tear down the engine's state for each. Raises EZCompressionError when zlib refuses the settings.
class DeflateEngine {
public:
    explicit DeflateEngine(int level);
    ~DeflateEngine();
    DeflateEngine(const DeflateEngine&) = delete;
    DeflateEngine& operator=(const DeflateEngine&) = delete;

private:
    friend PackedData DeflateEntryData(ByteReader&, DeflateEngine&, EntryDataOutput&);
    struct State;
    std::unique_ptr<State> state_;
};

// Compresses the source from its current position to its end as one raw Deflate stream. Each entry is a stream
// of its own, so its bytes depend only on its data and the level, never on the entries packed before it. Raises
// EZCompressionError when the engine reports a failure; whatever the output raises passes through.
PackedData DeflateEntryData(ByteReader& source, DeflateEngine& engine, EntryDataOutput& output);

// Copies the source unchanged (compression method 0).
PackedData StoreEntryData(ByteReader& source, EntryDataOutput& output);
