#pragma once

#include <QtGlobal>

#include <functional>

#include <memory>

class ArchiveOutput;
class ByteReader;
class ByteSource;

// Blocks into and out of the compression engine.
inline constexpr qint64 kDeflateBlockSize = 65535;
// Blocks of data copied unchanged.
inline constexpr qint64 kStoreBlockSize = 32768;

// What the entry-data writers report while they run.
struct DataEvents {
    // A block of this many bytes was read from the source.
    std::function<void(qint64 size)> blockRead;
    // A block of output went to the archive: at least once per entry, at the end of its data.
    std::function<void()> blockWritten;
};

// The outcome of writing one entry's data: the CRC-32 of the bytes read, and the two sizes.
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
    friend PackedData DeflateEntryData(ByteReader&, ArchiveOutput&, DeflateEngine&, const DataEvents&);
    struct State;
    std::unique_ptr<State> state_;
};

// Compresses the source from its current position to its end into the archive as one raw Deflate stream.
// Raises EZCompressionError when the engine reports a failure and ENotEnoughRoom when the archive takes fewer
// bytes than given.
PackedData DeflateEntryData(ByteReader& source, ArchiveOutput& archive, DeflateEngine& engine,
                            const DataEvents& events);

// Copies the source unchanged into the archive (compression method 0).
PackedData StoreEntryData(ByteReader& source, ArchiveOutput& archive, const DataEvents& events);

// Copies `size` bytes of an existing archive, from `position` on, unchanged into the archive. Raises the
// invalid-archive error when the existing archive ends before them.
void CopyArchiveBytes(const ByteSource& source, qint64 position, qint64 size, ArchiveOutput& archive,
                      const DataEvents& events);
