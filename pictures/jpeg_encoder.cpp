#include "pictures/jpeg_encoder.h"

#include "pictures/exif_orientation.h"
#include "pictures/jpeg_reader_state.h"
#include "pictures/orientation.h"

#include <array>
#include <cstring>

namespace {

// A compressor writing to a file, released on every way out.
struct Compressor {
    JpegErrorManager errors;
    jpeg_compress_struct info{};
    std::optional<JpegOutputDestination> destination;

    template <typename Call>
    auto Guarded(Call call)
    {
        return JpegGuarded(errors, reinterpret_cast<j_common_ptr>(&info), call);
    }

    explicit Compressor(ByteOutput& output)
    {
        errors.Attach(reinterpret_cast<j_common_ptr>(&info));
        Guarded([this] { jpeg_create_compress(&info); });
        destination.emplace(&info, output);
    }
    ~Compressor() { jpeg_destroy_compress(&info); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void SetPicture(const PixelBuffer& picture, J_COLOR_SPACE colourSpace)
    {
        info.image_width = static_cast<JDIMENSION>(picture.width);
        info.image_height = static_cast<JDIMENSION>(picture.height);
        info.input_components = picture.channels;
        info.in_color_space = colourSpace;
        Guarded([this] { jpeg_set_defaults(&info); });
    }

    void WriteRows(const PixelBuffer& picture)
    {
        for (int y = 0; y < picture.height; ++y) {
            JSAMPROW row[] = {const_cast<JSAMPLE*>(picture.Row(y))};
            Guarded([this, &row] { jpeg_write_scanlines(&info, row, 1); });
        }
        Guarded([this] { jpeg_finish_compress(&info); });
    }
};

PixelBuffer DecodeWhole(JpegReader::State& state)
{
    jpeg_decompress_struct& info = state.info;
    info.out_color_space = DecodedColourSpace(info.jpeg_color_space);
    state.StartDecompress("turning");
    PixelBuffer picture(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                        info.output_components);
    int y = 0;
    state.ReadRows([&picture, &y](const JSAMPLE* row) { std::memcpy(picture.Row(y++), row, picture.RowBytes()); });
    // A CMYK picture written without Adobe's marker holds its inks plainly; ours will carry the marker
    // libjpeg writes, which says they are stored inverted.
    if (info.out_color_space == JCS_CMYK && !info.saw_Adobe_marker) {
        for (std::uint8_t& sample : picture.bytes) {
            sample = static_cast<std::uint8_t>(255 - sample);
        }
    }
    return picture;
}

// The source's quantisation tables and colour sampling for the turned picture: for a picture whose rows
// become columns, each table and each sampling is mirrored along its diagonal too.
void CopyCoding(const jpeg_decompress_struct& source, jpeg_compress_struct& target, bool transposed)
{
    for (int slot = 0; slot < NUM_QUANT_TBLS; ++slot) {
        const JQUANT_TBL* table = source.quant_tbl_ptrs[slot];
        if (table == nullptr) {
            continue;
        }
        std::array<unsigned int, DCTSIZE2> values{};
        for (int row = 0; row < DCTSIZE; ++row) {
            for (int column = 0; column < DCTSIZE; ++column) {
                const int from = transposed ? column * DCTSIZE + row : row * DCTSIZE + column;
                values[static_cast<std::size_t>(row * DCTSIZE + column)] = table->quantval[from];
            }
        }
        jpeg_add_quant_table(&target, slot, values.data(), 100, FALSE);
    }
    for (int i = 0; i < target.num_components && i < source.num_components; ++i) {
        const jpeg_component_info& from = source.comp_info[i];
        jpeg_component_info& to = target.comp_info[i];
        to.h_samp_factor = transposed ? from.v_samp_factor : from.h_samp_factor;
        to.v_samp_factor = transposed ? from.h_samp_factor : from.v_samp_factor;
        to.quant_tbl_no = from.quant_tbl_no;
    }
}

bool IsAdobeMarker(const jpeg_marker_struct& marker)
{
    return marker.marker == JPEG_APP0 + 14 && marker.data_length >= 5 && std::memcmp(marker.data, "Adobe", 5) == 0;
}

// The source's markers, in their order, the EXIF orientation set to 1. Adobe's marker is left to libjpeg,
// which writes its own for the colour space it writes.
void CopyMarkers(const jpeg_decompress_struct& source, Compressor& compressor)
{
    for (jpeg_saved_marker_ptr marker = source.marker_list; marker != nullptr; marker = marker->next) {
        if (IsAdobeMarker(*marker)) {
            continue;
        }
        QByteArray data(reinterpret_cast<const char*>(marker->data), static_cast<qsizetype>(marker->data_length));
        if (marker->marker == JPEG_APP0 + 1
            && data.startsWith(QByteArray(kJpegExifSignature, kJpegExifSignatureLength))) {
            QByteArray exif = data.mid(kJpegExifSignatureLength);
            if (const auto entry = FindExifOrientation(exif)) {
                SetUpright(exif, *entry);
                data = data.left(kJpegExifSignatureLength) + exif;
            }
        }
        compressor.Guarded([&compressor, &marker, &data] {
            jpeg_write_marker(&compressor.info, marker->marker, reinterpret_cast<const JOCTET*>(data.constData()),
                              static_cast<unsigned int>(data.size()));
        });
    }
}

}  // namespace

void JpegReader::WriteTurned(int orientation, ByteOutput& output)
{
    State& state = *state_;
    // The pixels come from a reader of their own: decoding to the end releases the markers this one keeps.
    JpegReader pixels = OpenSource(*state.pictureSource.source);
    const PixelBuffer upright = TurnUpright(DecodeWhole(*pixels.state_), orientation);
    Compressor compressor(output);
    compressor.SetPicture(upright, state.info.out_color_space);
    jpeg_compress_struct& info = compressor.info;
    compressor.Guarded([&info, &state] { jpeg_set_colorspace(&info, state.info.jpeg_color_space); });
    // The source's own JFIF marker, if it had one, is copied with the others.
    info.write_JFIF_header = FALSE;
    info.optimize_coding = TRUE;
    CopyCoding(state.info, info, orientation >= 5);
    if (state.info.progressive_mode) {
        compressor.Guarded([&info] { jpeg_simple_progression(&info); });
    }
    compressor.Guarded([&info] { jpeg_start_compress(&info, TRUE); });
    CopyMarkers(state.info, compressor);
    compressor.WriteRows(upright);
}

void WriteJpeg(const PixelBuffer& picture, int quality, const QByteArray& iccProfile, ByteOutput& output)
{
    Compressor compressor(output);
    compressor.SetPicture(picture, picture.channels == 1 ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_compress_struct& info = compressor.info;
    compressor.Guarded([&info, quality] { jpeg_set_quality(&info, quality, TRUE); });
    info.optimize_coding = TRUE;
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    compressor.Guarded([&info] { jpeg_start_compress(&info, TRUE); });
    if (!iccProfile.isEmpty()) {
        compressor.Guarded([&info, &iccProfile] {
            jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET*>(iccProfile.constData()),
                                   static_cast<unsigned int>(iccProfile.size()));
        });
    }
    compressor.WriteRows(picture);
}
