#include "pictures/jpeg_support.h"

#include <utility>

#include <jerror.h>

namespace {

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    std::longjmp(static_cast<JpegErrorManager*>(info->client_data)->jump, 1);
}

// The most stray bytes that may lie between the end of a part of a picture's data and the marker after it.
constexpr int kMaxStrayBytes = 1024;

// Whether the decoder's warning says that the picture's data is damaged: that it ran out before the picture
// was complete, or holds what does not decode (a bad code, a restart marker out of place), or that more than
// kMaxStrayBytes lay between the end of a part of the data and the marker after it. A few stray bytes there
// are an encoder's padding (webcams put some before restart markers, cameras before the end-of-image marker)
// and every reader shows such pictures; a kilobyte of data left over means that the data before it did not
// decode in step with the picture, as when a stretch of it is lost or zeroed. The other warnings concern the
// header, and the decoder carries on after them as every reader does.
bool IsDamage(const jpeg_error_mgr& errors)
{
    switch (errors.msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
        return true;
    case JWRN_EXTRANEOUS_DATA:
        return errors.msg_parm.i[0] > kMaxStrayBytes;
    default:
        return false;
    }
}

// Trace messages are ignored, and so are warnings until the picture's data begins; a warning of damage in the
// data stops the decoder as an error does, with the reason.
void WatchMessage(j_common_ptr info, int level)
{
    auto* errors = static_cast<JpegErrorManager*>(info->client_data);
    if (level >= 0 || !errors->refuseDamage || !IsDamage(errors->base)) {
        return;
    }
    const bool ranOut = errors->base.msg_code == JWRN_JPEG_EOF;
    errors->pending = std::make_exception_ptr(
        PictureError(QString::fromLatin1(ranOut ? picture_reason::kCutShort : picture_reason::kDamaged)));
    std::longjmp(errors->jump, 1);
}

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
    base.emit_message = WatchMessage;
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
