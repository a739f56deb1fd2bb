#pragma once

// The state behind a JpegReader, shared by the reading and the encoding again of a picture. Internal to
// the library.

#include "pictures/jpeg_decoder.h"
#include "pictures/jpeg_support.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

class PictureSource;

// A libjpeg source that reads a PictureSource from its start: the first bytes the source holds already,
// in place, then one block at a time.
struct JpegPictureSource {
    jpeg_source_mgr base{};
    const PictureSource* source = nullptr;
    QByteArray head;
    qint64 next = 0;      // where the next block starts in the file
    bool ranOut = false;  // whether the decoder asked for more than the file holds
    std::vector<JOCTET> buffer;
};

// The memory the decoder's store of every coefficient of the picture takes, as libjpeg lays it out (whole
// blocks of two-byte samples, each component's rows and columns of blocks rounded up to its sampling): what
// decoding a multi-scan picture holds, or transcoding any picture.
qint64 CoefficientBytesOf(const jpeg_decompress_struct& info);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct JpegReader::State {
    JpegErrorManager errors;
    jpeg_progress_mgr progress{};
    jpeg_decompress_struct info{};
    std::unique_ptr<std::FILE, FileCloser> file;
    QByteArray bytes;
    JpegPictureSource pictureSource;
    QSize decoderOutputSize;

    State();
    // jpeg_destroy_decompress is safe on an object whose creation failed part way: the
    // object starts zeroed and the library checks what it has set up.
    ~State() { jpeg_destroy_decompress(&info); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    template <typename Call>
    auto Guarded(Call call)
    {
        return JpegGuarded(errors, reinterpret_cast<j_common_ptr>(&info), call);
    }

    // Starts decoding at the scale and colour space set, refusing first a multi-scan picture whose store
    // of coefficients would pass kMaxPictureWorkBytes.
    void StartDecompress();

    // Reads the rows the started decoder gives, at its output size, from the top up to at least `last` (all of
    // them unless told), and hands each to `take`. Having read every row, it reads what follows up to the
    // end-of-image marker, as a reader that finishes its decoding does.
    template <typename Take>
    void ReadRows(Take take, JDIMENSION last = ~JDIMENSION{0})
    {
        const std::size_t rowBytes =
            static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(info.output_components);
        const auto rowsPerRead = static_cast<JDIMENSION>(info.rec_outbuf_height);
        std::vector<JSAMPLE> samples(rowBytes * rowsPerRead);
        std::vector<JSAMPROW> rows(rowsPerRead);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i] = samples.data() + rowBytes * i;
        }
        while (info.output_scanline < std::min(info.output_height, last)) {
            const JDIMENSION got =
                Guarded([this, &rows, rowsPerRead] { return jpeg_read_scanlines(&info, rows.data(), rowsPerRead); });
            for (JDIMENSION i = 0; i < got; ++i) {
                take(rows[i]);
            }
        }
        if (info.output_scanline == info.output_height) {
            Guarded([this] { jpeg_finish_decompress(&info); });
        }
    }
};
