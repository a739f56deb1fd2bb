#include "pictures/jpeg_support.h"

#include <utility>

namespace {

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    std::longjmp(static_cast<JpegErrorManager*>(info->client_data)->jump, 1);
}

// Warnings and trace messages are ignored: the decoder goes on by itself.
void IgnoreMessage(j_common_ptr, int) {}

constexpr std::size_t kOutputBlock = 64 * 1024;

JpegOutputDestination* DestinationOf(j_compress_ptr info)
{
    return reinterpret_cast<JpegOutputDestination*>(info->dest);
}

void StartOutput(j_compress_ptr info)
{
    JpegOutputDestination* destination = DestinationOf(info);
    destination->base.next_output_byte = destination->buffer.data();
    destination->base.free_in_buffer = destination->buffer.size();
}

void WriteBytes(j_compress_ptr info, std::size_t length)
{
    StopJpegOnThrow(reinterpret_cast<j_common_ptr>(info),
                    [info, length] { DestinationOf(info)->output.Write(DestinationOf(info)->buffer.data(), length); });
}

boolean WriteFullBuffer(j_compress_ptr info)
{
    WriteBytes(info, DestinationOf(info)->buffer.size());
    StartOutput(info);
    return TRUE;
}

void WriteLastBytes(j_compress_ptr info)
{
    WriteBytes(info, DestinationOf(info)->buffer.size() - DestinationOf(info)->base.free_in_buffer);
}

}  // namespace

J_COLOR_SPACE DecodedColourSpace(J_COLOR_SPACE pictureSpace)
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

void JpegErrorManager::Attach(j_common_ptr info)
{
    jpeg_std_error(&base);
    base.error_exit = JumpOnError;
    base.emit_message = IgnoreMessage;
    info->err = &base;
    info->client_data = this;
}

void JpegErrorManager::Throw(j_common_ptr info)
{
    if (pending) {
        std::rethrow_exception(std::exchange(pending, nullptr));
    }
    char words[JMSG_LENGTH_MAX] = {};
    base.format_message(info, words);
    throw JpegError(base.msg_code, QString::fromLocal8Bit(words));
}

JpegOutputDestination::JpegOutputDestination(j_compress_ptr info, ByteOutput& byteOutput)
    : output(byteOutput),
      buffer(kOutputBlock)
{
    base.init_destination = StartOutput;
    base.empty_output_buffer = WriteFullBuffer;
    base.term_destination = WriteLastBytes;
    info->dest = &base;
}
