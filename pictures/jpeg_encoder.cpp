#include "pictures/jpeg_encoder.h"

#include "pictures/exif_orientation.h"
#include "pictures/jpeg_reader_state.h"
#include "pictures/picture_memory.h"

#include <array>
#include <cstring>
#include <functional>

namespace {

// A compressor writing to a ByteOutput, released on every way out.
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

    void SetPicture(QSize size, int components, J_COLOR_SPACE colourSpace)
    {
        info.image_width = static_cast<JDIMENSION>(size.width());
        info.image_height = static_cast<JDIMENSION>(size.height());
        info.input_components = components;
        info.in_color_space = colourSpace;
        Guarded([this] { jpeg_set_defaults(&info); });
    }

    // Compresses every row of the picture, RGBA laid on white, and finishes.
    void WriteRows(UprightRows& picture)
    {
        const bool onWhite = picture.Layout() == PixelLayout::Rgba;
        std::vector<std::uint8_t> rgb(onWhite ? RowBytes(picture.Size().width(), PixelLayout::Rgb) : 0);
        picture.Pass([this, onWhite, &rgb](const std::uint8_t* row) {
            if (onWhite) {
                LayOnWhite(row, rgb.size() / 3, rgb.data());
                row = rgb.data();
            }
            JSAMPROW rows[] = {const_cast<JSAMPLE*>(row)};
            Guarded([this, &rows] { jpeg_write_scanlines(&info, rows, 1); });
        });
        Guarded([this] { jpeg_finish_compress(&info); });
    }
};

// Whether libjpeg may hold the coefficients of the whole picture besides what turning it holds, to optimise its
// codes or write it in several scans: those take two bytes a sample.
bool MayHoldCoefficients(const UprightRows& picture, qint64 coefficientBytes)
{
    return picture.HeldBytes() + coefficientBytes <= kMaxPictureWorkBytes;
}

// Stored rows read by a function that decodes the picture afresh at each pass.
class DecodedRows : public StoredRows {
public:
    using Reading = std::function<void(int first, int last, const RowTaker& take)>;

    DecodedRows(QSize size, PixelLayout layout, qint64 readingBytes, Reading reading)
        : size_(size),
          layout_(layout),
          readingBytes_(readingBytes),
          reading_(std::move(reading))
    {}

    QSize Size() const override { return size_; }
    PixelLayout Layout() const override { return layout_; }
    QByteArray IccProfile() const override { return {}; }
    qint64 ReadingBytes() const override { return readingBytes_; }
    void Pass(int first, int last, const RowTaker& take) override { reading_(first, last, take); }

private:
    QSize size_;
    PixelLayout layout_;
    qint64 readingBytes_;
    Reading reading_;
};

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
    // This reader keeps the header and the markers; each pass decodes with a reader of its own, since decoding
    // to the end releases the markers.
    State& state = *state_;
    const PictureSource& source = *state.pictureSource.source;
    const J_COLOR_SPACE decoded = DecodedColourSpace(state.info.jpeg_color_space);
    const PixelLayout layout = decoded == JCS_GRAYSCALE ? PixelLayout::Grey
                               : decoded == JCS_CMYK    ? PixelLayout::Cmyk
                                                        : PixelLayout::Rgb;
    const qint64 coefficientBytes = CoefficientBytesOf(state.info);
    // A multi-scan picture is decoded from the store of all its coefficients; a single-scan one a row of blocks
    // at a time, which takes about 64 rows' worth.
    const bool multiScan = state.Guarded([&state] { return jpeg_has_multiple_scans(&state.info); }) != FALSE;
    const qint64 readingBytes =
        multiScan ? coefficientBytes : 64 * static_cast<qint64>(RowBytes(Size().width(), layout));
    // A CMYK picture written without Adobe's marker holds its inks plainly; ours will carry the marker libjpeg
    // writes, which says they are stored inverted.
    const bool invertInks = decoded == JCS_CMYK && !state.info.saw_Adobe_marker;
    DecodedRows stored(
        Size(), layout, readingBytes, [&source, invertInks](int first, int last, const StoredRows::RowTaker& take) {
            JpegReader reader = OpenSource(source);
            State& pass = *reader.state_;
            pass.info.out_color_space = DecodedColourSpace(pass.info.jpeg_color_space);
            pass.StartDecompress();
            int y = 0;
            std::vector<std::uint8_t> inks;
            pass.ReadRows(
                [&](const JSAMPLE* row) {
                    if (y >= first && y < last) {
                        if (invertInks) {
                            inks.assign(row,
                                        row + RowBytes(static_cast<int>(pass.info.output_width), PixelLayout::Cmyk));
                            for (std::uint8_t& sample : inks) {
                                sample = static_cast<std::uint8_t>(255 - sample);
                            }
                            row = inks.data();
                        }
                        take(y, row);
                    }
                    ++y;
                },
                static_cast<JDIMENSION>(last));
        });
    UprightRows upright(stored, orientation);
    const bool wholeCoding = MayHoldCoefficients(upright, coefficientBytes);

    Compressor compressor(output);
    compressor.SetPicture(upright.Size(), SamplesPerPixel(layout), decoded);
    jpeg_compress_struct& info = compressor.info;
    compressor.Guarded([&info, &state] { jpeg_set_colorspace(&info, state.info.jpeg_color_space); });
    // The source's own JFIF marker, if it had one, is copied with the others.
    info.write_JFIF_header = FALSE;
    info.optimize_coding = wholeCoding ? TRUE : FALSE;
    CopyCoding(state.info, info, orientation >= 5);
    if (state.info.progressive_mode && wholeCoding) {
        compressor.Guarded([&info] { jpeg_simple_progression(&info); });
    }
    compressor.Guarded([&info] { jpeg_start_compress(&info, TRUE); });
    CopyMarkers(state.info, compressor);
    compressor.WriteRows(upright);
}

void WriteJpeg(UprightRows& picture, int quality, const QByteArray& iccProfile, ByteOutput& output)
{
    const bool grey = picture.Layout() == PixelLayout::Grey;
    Compressor compressor(output);
    compressor.SetPicture(picture.Size(), grey ? 1 : 3, grey ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_compress_struct& info = compressor.info;
    compressor.Guarded([&info, quality] { jpeg_set_quality(&info, quality, TRUE); });
    const qint64 blocks = static_cast<qint64>((picture.Size().width() + DCTSIZE - 1) / DCTSIZE)
                          * ((picture.Size().height() + DCTSIZE - 1) / DCTSIZE) * info.num_components;
    info.optimize_coding = MayHoldCoefficients(picture, blocks * static_cast<qint64>(sizeof(JBLOCK))) ? TRUE : FALSE;
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
