#include "pictures/jpeg_decoder.h"

#include "pictures/row_reducer.h"

#include <QFile>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps
// back to the Guarded call that entered the library, and that call throws the exception.
// Jumping instead of throwing keeps C++ unwinding out of libjpeg's C frames; the frames the
// jump skips hold nothing that needs destroying, and libjpeg's own memory is released when
// the decompress object is destroyed.
struct ErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings and trace messages are ignored: the decoder goes on by itself.
void IgnoreMessage(j_common_ptr, int) {}

// Each scan of a multi-scan picture is a pass over all of the picture's coefficients, and a
// scan header takes a few bytes: without a limit a small file could keep the window busy
// for minutes. Progressive pictures as encoders write them have about ten scans.
void RefuseTooManyScans(j_common_ptr common)
{
    if (reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > JpegReader::kMaxScans) {
        ERREXIT(common, JERR_BAD_PROGRESSION);
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHolder = std::unique_ptr<std::FILE, FileCloser>;

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

// The colour space to ask the decoder for: libjpeg turns YCbCr into RGB and YCCK into CMYK
// by itself; grey and CMYK are turned into RGB while the rows are averaged.
J_COLOR_SPACE OutputColourSpace(J_COLOR_SPACE pictureSpace)
{
    switch (pictureSpace) {
    case JCS_GRAYSCALE:
        return JCS_GRAYSCALE;
    case JCS_CMYK:
    case JCS_YCCK:
        return JCS_CMYK;
    default:
        return JCS_RGB;
    }
}

}  // namespace

JpegError::JpegError(int messageCode)
    : UserError(QStringLiteral("JPEG error #%1").arg(messageCode)),
      messageCode_(messageCode)
{}

int JpegError::MessageCode() const noexcept
{
    return messageCode_;
}

struct JpegReader::State {
    ErrorManager errors;
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct info{};
    FileHolder file;
    QByteArray bytes;
    QSize decoderOutputSize;

    State()
    {
        jpeg_std_error(&errors.base);
        errors.base.error_exit = JumpOnError;
        errors.base.emit_message = IgnoreMessage;
        info.err = &errors.base;
        progress.progress_monitor = RefuseTooManyScans;
    }

    // jpeg_destroy_decompress is safe on an object whose creation failed part way: the
    // object starts zeroed and the library checks what it has set up.
    ~State() { jpeg_destroy_decompress(&info); }

    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Calls into libjpeg; a fatal error inside comes back here and is thrown as JpegError.
    template <typename Call>
    auto Guarded(Call call)
    {
        if (setjmp(errors.jump) != 0) {
            throw JpegError(errors.base.msg_code);
        }
        return call();
    }

    void Create()
    {
        Guarded([this] { jpeg_create_decompress(&info); });
        info.mem->max_memory_to_use = kMaxDecoderMemory;
        info.progress = &progress;
    }

    void ReadHeader()
    {
        Guarded([this] { jpeg_read_header(&info, TRUE); });
    }

    // The smallest of the decoder's scales (1/8 to 8/8) whose output still covers target.
    void ChooseScale(QSize target)
    {
        info.scale_denom = 8;
        for (info.scale_num = 1; info.scale_num < 8; ++info.scale_num) {
            Guarded([this] { jpeg_calc_output_dimensions(&info); });
            if (static_cast<int>(info.output_width) >= target.width()
                && static_cast<int>(info.output_height) >= target.height()) {
                return;
            }
        }
    }

    QImage Decode(QSize target)
    {
        info.out_color_space = OutputColourSpace(info.jpeg_color_space);
        ChooseScale(target);
        Guarded([this] { jpeg_start_decompress(&info); });
        decoderOutputSize = QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
        RowReducer reducer(decoderOutputSize, target, LayoutFor(info));

        const std::size_t rowBytes =
            static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(info.output_components);
        const auto rowsPerRead = static_cast<JDIMENSION>(info.rec_outbuf_height);
        std::vector<JSAMPLE> buffer(rowBytes * rowsPerRead);
        std::vector<JSAMPROW> rows(rowsPerRead);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = buffer.data() + rowBytes * i;
        }
        while (info.output_scanline < info.output_height) {
            const JDIMENSION got =
                Guarded([this, &rows, rowsPerRead] { return jpeg_read_scanlines(&info, rows.data(), rowsPerRead); });
            for (JDIMENSION i = 0; i < got; ++i) {
                reducer.AddRow(rows[i]);
            }
        }
        // jpeg_finish_decompress is left out on purpose: it would read on to the end of the
        // file, where damage after the last row could still fail a picture that is complete.
        return reducer.Image();
    }
};

JpegReader::JpegReader(std::unique_ptr<State> state) : state_(std::move(state)) {}

JpegReader::JpegReader(JpegReader&& other) noexcept = default;
JpegReader& JpegReader::operator=(JpegReader&& other) noexcept = default;
JpegReader::~JpegReader() = default;

JpegReader JpegReader::OpenFile(const QString& path)
{
    auto state = std::make_unique<State>();
    state->file.reset(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!state->file) {
        throw UserError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    state->Create();
    jpeg_stdio_src(&state->info, state->file.get());
    state->ReadHeader();
    return JpegReader(std::move(state));
}

JpegReader JpegReader::OpenBytes(const QByteArray& bytes)
{
    auto state = std::make_unique<State>();
    state->bytes = bytes;
    state->Create();
    state->Guarded([&state] {
        jpeg_mem_src(&state->info, reinterpret_cast<const unsigned char*>(state->bytes.constData()),
                     static_cast<unsigned long>(state->bytes.size()));
    });
    state->ReadHeader();
    return JpegReader(std::move(state));
}

QSize JpegReader::Size() const
{
    return QSize(static_cast<int>(state_->info.image_width), static_cast<int>(state_->info.image_height));
}

QImage JpegReader::Decode(QSize outputSize)
{
    const QSize size = Size();
    Q_ASSERT(!outputSize.isEmpty() && outputSize.width() <= size.width() && outputSize.height() <= size.height());
    return state_->Decode(outputSize);
}

QSize JpegReader::DecoderOutputSize() const
{
    return state_->decoderOutputSize;
}

QImage DecodeJpeg(const QByteArray& bytes)
{
    JpegReader reader = JpegReader::OpenBytes(bytes);
    const QSize size = reader.Size();
    if (static_cast<long long>(size.width()) * size.height() > kMaxWholeJpegPixels) {
        throw JpegError(JERR_IMAGE_TOO_BIG);
    }
    return reader.Decode(size);
}
