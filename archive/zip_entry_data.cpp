#include "archive/zip_entry_data.h"

#include "archive/zip_errors.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Raw Deflate: a negative window size asks zlib for no header and no Adler-32 trailer; 15 gives a window of 32 KiB.
constexpr int kRawDeflateWindowBits = -15;
constexpr int kDeflateMemoryLevel = 8;
// The most zlib takes in one call.
constexpr qint64 kLargestInput = 1 << 30;

}  // namespace

struct DeflateEngine::State {
    z_stream stream{};
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

EntryPacker::EntryPacker(EntryMethod method, DeflateEngine* engine, EntryDataOutput& output)
    : method_(method),
      engine_(engine),
      output_(output)
{
    packed_.crc32 = static_cast<quint32>(crc32(0, Z_NULL, 0));
    if (method_ == EntryMethod::Deflate) {
        // A stream left half-way by an earlier failure starts afresh too.
        if (engine_ == nullptr || deflateReset(&engine_->state_->stream) != Z_OK) {
            throw EZCompressionError();
        }
        TakeBlock(kDeflateBlockSize);
    } else {
        TakeBlock(kStoreBlockSize);
    }
}

void EntryPacker::Write(const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 part = std::min(size, kLargestInput);
        packed_.crc32 =
            static_cast<quint32>(crc32(packed_.crc32, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(part)));
        packed_.uncompressedSize += part;
        takenSinceBlock_ += part;
        if (method_ == EntryMethod::Deflate) {
            Deflate(data, part, Z_NO_FLUSH);
        } else {
            Store(data, part);
        }
        data += part;
        size -= part;
    }
}

PackedData EntryPacker::Finish()
{
    if (method_ == EntryMethod::Deflate) {
        Deflate(nullptr, 0, Z_FINISH);
        PutBlock(kDeflateBlockSize - engine_->state_->stream.avail_out);
    } else {
        PutBlock(stored_);
        packed_.compressedSize = packed_.uncompressedSize;
    }
    return packed_;
}

void EntryPacker::Deflate(const char* data, qint64 size, int flush)
{
    z_stream* stream = &engine_->state_->stream;
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream->avail_in = static_cast<uInt>(size);
    int result = Z_OK;
    do {
        result = deflate(stream, flush);
        if (result < 0 && result != Z_BUF_ERROR) {
            throw EZCompressionError();
        }
        if (stream->avail_out == 0) {
            PutBlock(kDeflateBlockSize);
            TakeBlock(kDeflateBlockSize);
        }
    } while (stream->avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}

void EntryPacker::Store(const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 part = std::min(size, kStoreBlockSize - stored_);
        std::memcpy(block_.data() + stored_, data, static_cast<size_t>(part));
        stored_ += part;
        data += part;
        size -= part;
        if (stored_ == kStoreBlockSize) {
            PutBlock(stored_);
            TakeBlock(kStoreBlockSize);
        }
    }
}

void EntryPacker::TakeBlock(qint64 size)
{
    block_ = output_.TakeBuffer(size);
    stored_ = 0;
    if (method_ == EntryMethod::Deflate) {
        z_stream* stream = &engine_->state_->stream;
        stream->next_out = reinterpret_cast<Bytef*>(block_.data());
        stream->avail_out = static_cast<uInt>(size);
    }
}

void EntryPacker::PutBlock(qint64 size)
{
    if (method_ == EntryMethod::Deflate) {
        packed_.compressedSize += size;
    }
    output_.Put(std::move(block_), size, std::exchange(takenSinceBlock_, 0));
}
