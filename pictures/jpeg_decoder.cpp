#include "pictures/jpeg_decoder.h"

#include "pictures/exif_orientation.h"
#include "pictures/jpeg_reader_state.h"
#include "pictures/orientation.h"
#include "pictures/picture_formats.h"
#include "pictures/picture_memory.h"
#include "pictures/picture_source.h"
#include "pictures/row_reducer.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <jerror.h>

namespace {

// Each scan of a multi-scan picture is a pass over all of the picture's coefficients, and a
// scan header takes a few bytes: without a limit a small file could keep the window busy
// for minutes. Progressive pictures as encoders write them have about ten scans.
void RefuseTooManyScans(j_common_ptr common)
{
    if (reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > JpegReader::kMaxScans) {
        ERREXIT(common, JERR_BAD_PROGRESSION);
    }
}

PixelLayout LayoutFor(const jpeg_decompress_struct& info)
{
    switch (info.out_color_space) {
    case JCS_GRAYSCALE:
        return PixelLayout::Grey;
    case JCS_CMYK:
        return info.saw_Adobe_marker ? PixelLayout::AdobeCmyk : PixelLayout::Cmyk;
    default:
        return PixelLayout::Rgb;
    }
}

constexpr std::size_t kSourceBlock = 64 * 1024;

JpegPictureSource* PictureSourceOf(j_decompress_ptr info)
{
    return reinterpret_cast<JpegPictureSource*>(info->src);
}

void StartInput(j_decompress_ptr) {}
void EndInput(j_decompress_ptr) {}

// The next block of the file; at its end, an end-of-image marker as libjpeg's own sources give,
// with the warning that lets the decoder fill in what is missing.
boolean ReadNextBlock(j_decompress_ptr info)
{
    JpegPictureSource* source = PictureSourceOf(info);
    if (source->next < source->head.size()) {
        source->base.next_input_byte = reinterpret_cast<const JOCTET*>(source->head.constData()) + source->next;
        source->base.bytes_in_buffer = static_cast<std::size_t>(source->head.size() - source->next);
        source->next = source->head.size();
        return TRUE;
    }
    source->buffer.resize(kSourceBlock);
    std::size_t got = 0;
    StopJpegOnThrow(reinterpret_cast<j_common_ptr>(info), [source, &got] {
        got = source->source->ReadAt(source->next, source->buffer.data(), source->buffer.size());
    });
    source->next += static_cast<qint64>(got);
    if (got == 0) {
        source->ranOut = true;
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->base.next_input_byte = source->buffer.data();
    source->base.bytes_in_buffer = got;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count)
{
    JpegPictureSource* source = PictureSourceOf(info);
    if (count <= 0) {
        return;
    }
    const auto skip = static_cast<std::size_t>(count);
    if (skip <= source->base.bytes_in_buffer) {
        source->base.next_input_byte += skip;
        source->base.bytes_in_buffer -= skip;
        return;
    }
    source->next += static_cast<qint64>(skip - source->base.bytes_in_buffer);
    source->base.bytes_in_buffer = 0;
}

}  // namespace

JpegError::JpegError(int messageCode, QString decoderMessage)
    : PictureError(QStringLiteral("JPEG error #%1").arg(messageCode)),
      messageCode_(messageCode),
      decoderMessage_(std::move(decoderMessage))
{}

int JpegError::MessageCode() const noexcept
{
    return messageCode_;
}

QString JpegError::DecoderMessage() const
{
    return decoderMessage_;
}

JpegReader::State::State()
{
    errors.Attach(reinterpret_cast<j_common_ptr>(&info));
    progress.progress_monitor = RefuseTooManyScans;
}

void JpegReader::State::StartDecompress()
{
    if (Guarded([this] { return jpeg_has_multiple_scans(&info); })) {
        RefuseBeyondMemoryLimit(CoefficientBytesOf(info), "decoding");
    }
    Guarded([this] { jpeg_start_decompress(&info); });
}

qint64 CoefficientBytesOf(const jpeg_decompress_struct& info)
{
    const auto roundUp = [](qint64 value, qint64 multiple) { return (value + multiple - 1) / multiple * multiple; };
    qint64 blocks = 0;
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info& component = info.comp_info[i];
        blocks += roundUp(component.width_in_blocks, component.h_samp_factor)
                  * roundUp(component.height_in_blocks, component.v_samp_factor);
    }
    return blocks * static_cast<qint64>(sizeof(JBLOCK));
}

namespace {

using State = JpegReader::State;

void Create(State& state, JpegReader::Markers markers)
{
    state.Guarded([&state] { jpeg_create_decompress(&state.info); });
    state.info.mem->max_memory_to_use = kMaxPictureWorkBytes;
    state.info.progress = &state.progress;
    jpeg_save_markers(&state.info, JPEG_APP0 + 1, 0xFFFF);
    if (markers == JpegReader::Markers::All) {
        for (int marker = JPEG_APP0; marker <= JPEG_APP0 + 15; ++marker) {
            jpeg_save_markers(&state.info, marker, 0xFFFF);
        }
        jpeg_save_markers(&state.info, JPEG_COM, 0xFFFF);
    }
}

// Reads the header; from there on, damage in the picture's data stops the decoder.
void ReadHeader(State& state)
{
    state.Guarded([&state] { jpeg_read_header(&state.info, TRUE); });
    state.errors.refuseDamage = true;
}

// The smallest of the decoder's scales (1/8 to 8/8) whose output still covers target.
void ChooseScale(State& state, QSize target)
{
    state.info.scale_denom = 8;
    for (state.info.scale_num = 1; state.info.scale_num < 8; ++state.info.scale_num) {
        state.Guarded([&state] { jpeg_calc_output_dimensions(&state.info); });
        if (static_cast<int>(state.info.output_width) >= target.width()
            && static_cast<int>(state.info.output_height) >= target.height()) {
            return;
        }
    }
}

}  // namespace

JpegReader::JpegReader(std::unique_ptr<State> state) : state_(std::move(state)) {}

JpegReader::JpegReader(JpegReader&& other) noexcept = default;
JpegReader& JpegReader::operator=(JpegReader&& other) noexcept = default;
JpegReader::~JpegReader() = default;

JpegReader JpegReader::OpenFile(const QString& path)
{
    auto state = std::make_unique<State>();
    state->file.reset(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!state->file) {
        throw PictureError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    Create(*state, Markers::Exif);
    jpeg_stdio_src(&state->info, state->file.get());
    ReadHeader(*state);
    return JpegReader(std::move(state));
}

JpegReader JpegReader::OpenBytes(const QByteArray& bytes)
{
    auto state = std::make_unique<State>();
    state->bytes = bytes;
    Create(*state, Markers::Exif);
    state->Guarded([&state] {
        jpeg_mem_src(&state->info, reinterpret_cast<const unsigned char*>(state->bytes.constData()),
                     static_cast<unsigned long>(state->bytes.size()));
    });
    ReadHeader(*state);
    return JpegReader(std::move(state));
}

JpegReader JpegReader::OpenSource(const PictureSource& source, Markers markers)
{
    auto state = std::make_unique<State>();
    Create(*state, markers);
    JpegPictureSource& reader = state->pictureSource;
    reader.source = &source;
    reader.base.init_source = StartInput;
    reader.base.fill_input_buffer = ReadNextBlock;
    reader.base.skip_input_data = SkipInput;
    reader.base.resync_to_restart = jpeg_resync_to_restart;
    reader.base.term_source = EndInput;
    state->info.src = &reader.base;
    try {
        reader.head = source.Head();
        ReadHeader(*state);
    } catch (const JpegError&) {
        // The header is all there is to go on: when the file ends inside it, that is what is wrong.
        if (reader.ranOut) {
            Refuse(picture_reason::kCutShort);
        }
        throw;
    }
    return JpegReader(std::move(state));
}

QSize JpegReader::Size() const
{
    return QSize(static_cast<int>(state_->info.image_width), static_cast<int>(state_->info.image_height));
}

int JpegReader::Orientation() const
{
    for (jpeg_saved_marker_ptr marker = state_->info.marker_list; marker != nullptr; marker = marker->next) {
        const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(marker->data),
                                                        static_cast<qsizetype>(marker->data_length));
        if (marker->marker == JPEG_APP0 + 1
            && data.startsWith(QByteArray(kJpegExifSignature, kJpegExifSignatureLength))) {
            const auto entry = FindExifOrientation(data.mid(kJpegExifSignatureLength));
            return entry ? ValidOrientation(entry->value) : 1;
        }
    }
    return 1;
}

QByteArray JpegReader::IccProfile() const
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (!state_->Guarded([this, &data, &length] { return jpeg_read_icc_profile(&state_->info, &data, &length); })) {
        return {};
    }
    QByteArray profile(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    std::free(data);
    return profile;
}

qint64 JpegReader::HeaderBytes() const
{
    const JpegPictureSource& source = state_->pictureSource;
    return source.next - static_cast<qint64>(source.base.bytes_in_buffer);
}

PixelBuffer JpegReader::Decode(QSize target)
{
    const QSize size = Size();
    Q_ASSERT(!target.isEmpty() && target.width() <= size.width() && target.height() <= size.height());
    State& state = *state_;
    jpeg_decompress_struct& info = state.info;
    info.out_color_space = DecodedColourSpace(info.jpeg_color_space);
    ChooseScale(state, target);
    state.StartDecompress();
    state.decoderOutputSize = QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    RowReducer reducer(state.decoderOutputSize, target, LayoutFor(info));
    state.ReadRows([&reducer](const JSAMPLE* row) { reducer.AddRow(row); });
    return reducer.TakeResult();
}

qint64 JpegReader::CoefficientBytes() const
{
    return CoefficientBytesOf(state_->info);
}

QSize JpegReader::DecoderOutputSize() const
{
    return state_->decoderOutputSize;
}

void JpegReader::ReadWhole()
{
    State& state = *state_;
    jpeg_decompress_struct& info = state.info;
    // At 1/8 each block decodes to its mean alone, in the picture's own colours: nearly all the work left is
    // reading the coded data, which is what is wanted.
    info.scale_num = 1;
    info.scale_denom = 8;
    info.out_color_space = info.jpeg_color_space;
    info.do_fancy_upsampling = FALSE;
    state.StartDecompress();
    state.ReadRows([](const JSAMPLE*) {});
}

PixelBuffer DecodeJpeg(const QByteArray& bytes)
{
    JpegReader reader = JpegReader::OpenBytes(bytes);
    const QSize size = reader.Size();
    if (static_cast<long long>(size.width()) * size.height() > kMaxWholeJpegPixels) {
        throw JpegError(JERR_IMAGE_TOO_BIG);
    }
    return reader.Decode(size);
}
