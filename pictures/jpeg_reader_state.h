#pragma once

// The state behind a JpegReader, shared by the reading and the encoding again of a picture. Internal to
// the library.

#include "pictures/jpeg_decoder.h"
#include "pictures/jpeg_support.h"

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
};
