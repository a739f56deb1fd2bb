#pragma once

// What the library's JPEG reading and writing share: the way libjpeg's fatal errors become exceptions, and
// output to a ByteOutput. Internal to the library.

#include "pictures/byte_output.h"
#include "pictures/jpeg_decoder.h"

#include <QString>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <vector>

#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return. Ours jumps
// back to the Guarded call that entered the library, and that call throws the exception.
// Jumping instead of throwing keeps C++ unwinding out of libjpeg's C frames; the frames the
// jump skips hold nothing that needs destroying, and libjpeg's own memory is released when
// the (de)compress object is destroyed. An error of our own met inside a libjpeg callback (a
// file that cannot be read, an output that cannot take the bytes) is kept in `pending` and thrown in
// place of the decoder's.
//
// Warnings are passed over while the header is read. Once the decoder is in the picture's data, with
// `refuseDamage` set, a warning that the data is damaged stops it too: see JpegReader.
//
// The manager is found from libjpeg's object through its client_data.
struct JpegErrorManager {
    jpeg_error_mgr base{};
    std::jmp_buf jump{};
    std::exception_ptr pending;
    bool refuseDamage = false;

    // Makes `info` report to this manager; before its create call.
    void Attach(j_common_ptr info);

    // The decoder's error as an exception: the pending one, or a JpegError with its number and words.
    [[noreturn]] void Throw(j_common_ptr info);
};

// The colour space to ask the decoder for, given the picture's: libjpeg turns YCbCr into RGB and YCCK into CMYK by
// itself; grey stays grey.
J_COLOR_SPACE DecodedColourSpace(J_COLOR_SPACE pictureSpace);

// Calls into libjpeg; a fatal error inside comes back here and is thrown.
template <typename Call>
auto JpegGuarded(JpegErrorManager& errors, j_common_ptr info, Call call)
{
    if (setjmp(errors.jump) != 0) {
        errors.Throw(info);
    }
    return call();
}

// Calls `step`, which may throw, from a libjpeg callback, which must not throw through libjpeg's C frames:
// a thrown error is kept and stops libjpeg. The jump is taken only once the step and its exception are
// gone, since a jump would skip their destructors.
template <typename Step>
void StopJpegOnThrow(j_common_ptr info, Step step)
{
    auto* errors = static_cast<JpegErrorManager*>(info->client_data);
    try {
        step();
    } catch (...) {
        errors->pending = std::current_exception();
    }
    if (errors->pending) {
        std::longjmp(errors->jump, 1);
    }
}

// A destination that writes the compressed picture to a ByteOutput as it comes.
struct JpegOutputDestination {
    jpeg_destination_mgr base{};
    ByteOutput& output;
    std::vector<JOCTET> buffer;

    // Makes `info` write to `output`.
    JpegOutputDestination(j_compress_ptr info, ByteOutput& output);
};
