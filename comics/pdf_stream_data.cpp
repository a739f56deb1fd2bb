#include "comics/pdf_stream_data.h"

#include <qpdf/Pipeline.hh>

#include <algorithm>

namespace {

// Thrown by BoundedBytes to stop qpdf once it has what is needed. Not an error of any kind that qpdf itself could
// take for one of its own.
struct Enough {};

// Collects what qpdf writes, up to a limit.
class BoundedBytes final : public Pipeline {
public:
    BoundedBytes(QByteArray& bytes, qint64 limit) : Pipeline("bounded bytes", nullptr), bytes_(bytes), limit_(limit) {}

    using Pipeline::write;
    void write(unsigned char const* data, size_t length) override
    {
        const auto room = static_cast<std::size_t>(limit_ - bytes_.size());
        bytes_.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(std::min(length, room)));
        if (length > room) {
            more_ = true;
            throw Enough();
        }
    }
    void finish() override {}

    bool More() const { return more_; }

private:
    QByteArray& bytes_;
    qint64 limit_;
    bool more_ = false;
};

}  // namespace

StreamData ReadStreamData(QPDFObjectHandle stream, qpdf_stream_decode_level_e level, qint64 limit)
{
    StreamData data;
    BoundedBytes sink(data.bytes, limit);
    bool filtered = false;
    try {
        const bool success = stream.pipeStreamData(&sink, &filtered, 0, level, true, false);
        const bool anyFilter = !stream.getDict().getKey("/Filter").isNull();
        data.whole = success && (filtered || level == qpdf_dl_none || !anyFilter);
    } catch (const Enough&) {
    }
    data.more = sink.More();
    return data;
}
