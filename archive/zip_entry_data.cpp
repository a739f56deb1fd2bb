#include "archive/zip_entry_data.h"

#include "archive/byte_source.h"
#include "archive/zip_errors.h"

#include <zlib.h>

#include <utility>
#include <vector>

namespace {

// Raw Deflate: a negative window size asks zlib for no header and no Adler-32 trailer; 15 gives a window of 32 KiB.
constexpr int kRawDeflateWindowBits = -15;
constexpr int kDeflateMemoryLevel = 8;

quint32 UpdateCrc(quint32 crc, const std::vector<char>& block, qint64 size)
{
    return static_cast<quint32>(crc32(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(size)));
}

}  // namespace

struct DeflateEngine::State {
    z_stream stream{};
    std::vector<char> input = std::vector<char>(kDeflateBlockSize);
};

DeflateEngine::DeflateEngine(int level) : state_(std::make_unique<State>())
{
    if (deflateInit2(&state_->stream, level, Z_DEFLATED, kRawDeflateWindowBits, kDeflateMemoryLevel, Z_DEFAULT_STRATEGY)
        != Z_OK) {
        throw EZCompressionError();
    }
}

DeflateEngine::~DeflateEngine()
{
    deflateEnd(&state_->stream);
}

PackedData DeflateEntryData(ByteReader& source, DeflateEngine& engine, EntryDataOutput& output)
{
    z_stream* stream = &engine.state_->stream;
    std::vector<char>& input = engine.state_->input;
    // A stream left half-way by an earlier failure starts afresh too.
    if (deflateReset(stream) != Z_OK) {
        throw EZCompressionError();
    }
    PackedData packed;
    packed.crc32 = static_cast<quint32>(crc32(0, Z_NULL, 0));
    std::vector<char> block;
    const auto takeBlock = [&] {
        block = output.TakeBuffer(kDeflateBlockSize);
        stream->next_out = reinterpret_cast<Bytef*>(block.data());
        stream->avail_out = static_cast<uInt>(kDeflateBlockSize);
    };
    takeBlock();
    qint64 readSinceOutput = 0;

    const auto putOutput = [&] {
        const qint64 size = kDeflateBlockSize - stream->avail_out;
        output.Put(std::move(block), size, std::exchange(readSinceOutput, 0));
        packed.compressedSize += size;
    };

    int result = Z_OK;
    while (result != Z_STREAM_END) {
        const qint64 got = source.Read(input.data(), kDeflateBlockSize);
        packed.crc32 = UpdateCrc(packed.crc32, input, got);
        packed.uncompressedSize += got;
        readSinceOutput += got;
        // Nothing is flushed until a read returns no bytes; then the stream is finished.
        const int flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream->next_in = reinterpret_cast<Bytef*>(input.data());
        stream->avail_in = static_cast<uInt>(got);
        do {
            result = deflate(stream, flush);
            if (result < 0) {
                throw EZCompressionError();
            }
            if (stream->avail_out == 0) {
                putOutput();
                takeBlock();
            }
        } while (stream->avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }
    putOutput();
    return packed;
}

PackedData StoreEntryData(ByteReader& source, EntryDataOutput& output)
{
    PackedData packed;
    packed.crc32 = static_cast<quint32>(crc32(0, Z_NULL, 0));
    qint64 got = 0;
    do {
        std::vector<char> block = output.TakeBuffer(kStoreBlockSize);
        got = source.Read(block.data(), kStoreBlockSize);
        packed.crc32 = UpdateCrc(packed.crc32, block, got);
        packed.uncompressedSize += got;
        output.Put(std::move(block), got, got);
    } while (got == kStoreBlockSize);
    packed.compressedSize = packed.uncompressedSize;
    return packed;
}
