#include "pictures/baseline_jpeg.h"

#include "pictures/jpeg_support.h"

#include <vector>

namespace {

constexpr std::size_t kOutputBlock = 64 * 1024;

// A libjpeg destination that hands the compressed picture to a ByteOutput one block at a time.
struct ByteOutputDestination {
    jpeg_destination_mgr base{};
    ByteOutput* output = nullptr;
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kOutputBlock);

    static ByteOutputDestination* Of(j_compress_ptr info)
    {
        return reinterpret_cast<ByteOutputDestination*>(info->dest);
    }

    static void Start(j_compress_ptr info)
    {
        ByteOutputDestination* destination = Of(info);
        destination->base.next_output_byte = destination->buffer.data();
        destination->base.free_in_buffer = destination->buffer.size();
    }

    static void Hand(j_compress_ptr info, std::size_t length)
    {
        StopJpegOnThrow(reinterpret_cast<j_common_ptr>(info),
                        [info, length] { Of(info)->output->Write(Of(info)->buffer.data(), length); });
    }

    static boolean HandFullBuffer(j_compress_ptr info)
    {
        Hand(info, Of(info)->buffer.size());
        Start(info);
        return TRUE;
    }

    static void HandLastBytes(j_compress_ptr info)
    {
        Hand(info, Of(info)->buffer.size() - Of(info)->base.free_in_buffer);
    }
};

// A compressor, released on every way out.
struct Compressor {
    JpegErrorManager errors;
    jpeg_compress_struct info{};
    ByteOutputDestination destination;

    template <typename Call>
    auto Guarded(Call call)
    {
        return JpegGuarded(errors, reinterpret_cast<j_common_ptr>(&info), call);
    }

    explicit Compressor(ByteOutput& output)
    {
        errors.Attach(reinterpret_cast<j_common_ptr>(&info));
        Guarded([this] { jpeg_create_compress(&info); });
        destination.output = &output;
        destination.base.init_destination = ByteOutputDestination::Start;
        destination.base.empty_output_buffer = ByteOutputDestination::HandFullBuffer;
        destination.base.term_destination = ByteOutputDestination::HandLastBytes;
        info.dest = &destination.base;
    }
    ~Compressor() { jpeg_destroy_compress(&info); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

}  // namespace

void WriteBaselineJpeg(const PixelBuffer& picture, int quality, const QByteArray& iccProfile, ByteOutput& output)
{
    Compressor compressor(output);
    jpeg_compress_struct& info = compressor.info;
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = picture.channels;
    info.in_color_space = picture.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    // The defaults are a single scan with 4:2:0 colour.
    compressor.Guarded([&info, quality] {
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
    });
    info.optimize_coding = TRUE;
    compressor.Guarded([&info] { jpeg_start_compress(&info, TRUE); });
    if (!iccProfile.isEmpty()) {
        compressor.Guarded([&info, &iccProfile] {
            jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET*>(iccProfile.constData()),
                                   static_cast<unsigned int>(iccProfile.size()));
        });
    }
    for (int y = 0; y < picture.height; ++y) {
        JSAMPROW row[] = {const_cast<JSAMPLE*>(picture.Row(y))};
        compressor.Guarded([&info, &row] { jpeg_write_scanlines(&info, row, 1); });
    }
    compressor.Guarded([&info] { jpeg_finish_compress(&info); });
}
