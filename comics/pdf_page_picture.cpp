#include "comics/pdf_page_picture.h"

#include "comics/comic_limits.h"
#include "comics/pdf_stream_data.h"
#include "pictures/picture_error.h"

#include <QStringList>

#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The most bytes of a colour profile that are read: real ones are a few kilobytes, the largest a few megabytes.
constexpr qint64 kMaxColourProfileBytes = 16 << 20;

// How far the picture's edges may lie from the page's: a point, or 1 % of the page's side, whichever is more.
constexpr double kFillTolerance = 0.01;

// Drawing instructions that paint nothing: the drawing state, clipping paths, marked content, text state.
const std::set<std::string> kStateOperators = {
    "q",  "Q",  "cm", "gs", "w",  "J",  "j",  "M",  "d",  "ri", "i",   "CS",  "cs",  "SC", "SCN", "sc", "scn", "G",
    "g",  "RG", "rg", "K",  "k",  "m",  "l",  "c",  "v",  "y",  "h",   "re",  "W",   "W*", "n",   "BT", "ET",  "Tc",
    "Tw", "Tz", "TL", "Tf", "Tr", "Ts", "Td", "TD", "Tm", "T*", "BMC", "BDC", "EMC", "MP", "DP",  "BX", "EX",
};
const std::set<std::string> kTextOperators = {"Tj", "TJ", "'", "\""};
const std::set<std::string> kShapeOperators = {"S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "sh"};
const std::set<std::string> kInlinePictureOperators = {"BI", "ID", "EI"};

// One image or other object the drawing instructions draw, and where: the unit square through `matrix`.
struct Draw {
    std::string name;
    QPDFMatrix matrix;
};

// Follows a page's drawing instructions and keeps what they draw; refuses anything that paints by itself.
class PageDrawing {
public:
    explicit PageDrawing(const std::string& instructions)
    {
        const auto input = std::make_shared<BufferInputSource>("page drawing", instructions);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        std::vector<QPDFTokenizer::Token> operands;
        for (;;) {
            const QPDFTokenizer::Token token = tokenizer.readToken(input, "page drawing", true);
            switch (token.getType()) {
            case QPDFTokenizer::tt_eof:
                return;
            case QPDFTokenizer::tt_bad:
                throw NotOnePicture(QStringLiteral("its drawing instructions cannot be read"));
            case QPDFTokenizer::tt_word:
                Follow(token.getValue(), operands);
                operands.clear();
                break;
            default:
                operands.push_back(token);
            }
        }
    }

    const std::vector<Draw>& Draws() const { return draws_; }

private:
    void Follow(const std::string& instruction, const std::vector<QPDFTokenizer::Token>& operands)
    {
        if (instruction == "q") {
            saved_.push_back(matrix_);
        } else if (instruction == "Q" && !saved_.empty()) {
            matrix_ = saved_.back();
            saved_.pop_back();
        } else if (instruction == "cm") {
            const std::vector<double> m = Numbers(operands, 6);
            matrix_.concat(QPDFMatrix(m[0], m[1], m[2], m[3], m[4], m[5]));
        } else if (instruction == "Do") {
            if (operands.size() != 1 || operands[0].getType() != QPDFTokenizer::tt_name) {
                throw NotOnePicture(QStringLiteral("its drawing instructions cannot be read"));
            }
            draws_.push_back({operands[0].getValue(), matrix_});
        } else if (kTextOperators.count(instruction) != 0) {
            throw NotOnePicture(QStringLiteral("it holds text"));
        } else if (kShapeOperators.count(instruction) != 0) {
            throw NotOnePicture(QStringLiteral("it holds drawn shapes"));
        } else if (kInlinePictureOperators.count(instruction) != 0) {
            throw NotOnePicture(QStringLiteral("it holds a picture written into its drawing instructions"));
        } else if (kStateOperators.count(instruction) == 0) {
            throw NotOnePicture(QStringLiteral("it holds a drawing instruction this program does not know (%1)")
                                    .arg(QString::fromStdString(instruction)));
        }
    }

    static std::vector<double> Numbers(const std::vector<QPDFTokenizer::Token>& operands, std::size_t count)
    {
        std::vector<double> numbers;
        for (const QPDFTokenizer::Token& operand : operands) {
            bool ok = operand.getType() == QPDFTokenizer::tt_integer || operand.getType() == QPDFTokenizer::tt_real;
            const double value = ok ? QByteArray::fromStdString(operand.getValue()).toDouble(&ok) : 0;
            if (!ok) {
                break;
            }
            numbers.push_back(value);
        }
        if (numbers.size() != count || operands.size() != count) {
            throw NotOnePicture(QStringLiteral("its drawing instructions cannot be read"));
        }
        return numbers;
    }

    QPDFMatrix matrix_;
    std::vector<QPDFMatrix> saved_;
    std::vector<Draw> draws_;
};

// The page's drawing instructions, all its content streams one after the other.
std::string DrawingInstructions(QPDFPageObjectHelper& page)
{
    std::string instructions;
    for (QPDFObjectHandle stream : page.getPageContents()) {
        const StreamData data = ReadStreamData(stream, qpdf_dl_specialized,
                                               kMaxPageDrawingBytes - static_cast<qint64>(instructions.size()));
        if (data.more) {
            throw NotOnePicture(QStringLiteral("it holds more drawing instructions than one picture needs"));
        }
        if (!data.whole) {
            throw NotOnePicture(QStringLiteral("its drawing instructions cannot be read"));
        }
        instructions += data.bytes.toStdString();
        instructions += '\n';
    }
    return instructions;
}

bool Near(double value, double target, double side)
{
    return std::abs(value - target) <= std::max(1.0, kFillTolerance * side);
}

// Whether the image, drawn through `matrix`, stands upright over the whole of the page's box.
void RequireFillsPage(QPDFPageObjectHelper& page, const QPDFMatrix& matrix)
{
    QPDFObjectHandle box = page.getCropBox();
    if (!box.isRectangle()) {
        throw NotOnePicture(QStringLiteral("the page has no size"));
    }
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    const double left = std::min(r.llx, r.urx);
    const double right = std::max(r.llx, r.urx);
    const double bottom = std::min(r.lly, r.ury);
    const double top = std::max(r.lly, r.ury);
    const double skew = std::max(std::abs(matrix.b), std::abs(matrix.c));
    if (matrix.a <= 0 || matrix.d <= 0 || skew > 1e-3 * std::min(matrix.a, matrix.d)) {
        throw NotOnePicture(QStringLiteral("its picture is drawn turned or mirrored"));
    }
    const double width = right - left;
    const double height = top - bottom;
    if (!Near(matrix.e, left, width) || !Near(matrix.e + matrix.a, right, width) || !Near(matrix.f, bottom, height)
        || !Near(matrix.f + matrix.d, top, height)) {
        throw NotOnePicture(QStringLiteral("its picture does not fill the page"));
    }
}

// The names of a stream's filters, in order, their abbreviations written out.
QStringList FilterNames(QPDFObjectHandle filter)
{
    std::vector<QPDFObjectHandle> items;
    if (filter.isArray()) {
        items = filter.getArrayAsVector();
    } else if (!filter.isNull()) {
        items.push_back(filter);
    }
    QStringList names;
    for (QPDFObjectHandle item : items) {
        if (!item.isName()) {
            throw NotOnePicture(QStringLiteral("its picture's compression cannot be read"));
        }
        static const std::map<std::string, std::string> kFullNames = {
            {"/Fl", "/FlateDecode"},     {"/LZW", "/LZWDecode"},     {"/RL", "/RunLengthDecode"},
            {"/AHx", "/ASCIIHexDecode"}, {"/A85", "/ASCII85Decode"}, {"/DCT", "/DCTDecode"},
            {"/CCF", "/CCITTFaxDecode"},
        };
        const auto full = kFullNames.find(item.getName());
        names.append(QString::fromStdString(full != kFullNames.end() ? full->second : item.getName()).mid(1));
    }
    return names;
}

PdfPictureCoding CodingOf(const QStringList& filters)
{
    static const QStringList kPixelFilters = {
        QStringLiteral("FlateDecode"),    QStringLiteral("LZWDecode"),     QStringLiteral("RunLengthDecode"),
        QStringLiteral("ASCIIHexDecode"), QStringLiteral("ASCII85Decode"),
    };
    if (filters.contains(QStringLiteral("JBIG2Decode"))) {
        throw NotOnePicture(QStringLiteral("its picture is a JBIG2 picture, which this program does not take out"));
    }
    if (filters.contains(QStringLiteral("CCITTFaxDecode"))) {
        throw NotOnePicture(QStringLiteral("its picture is a CCITT fax picture, which this program does not take out"));
    }
    if (filters == QStringList{QStringLiteral("DCTDecode")}) {
        return PdfPictureCoding::Jpeg;
    }
    if (filters == QStringList{QStringLiteral("JPXDecode")}) {
        return PdfPictureCoding::Jpeg2000;
    }
    for (const QString& filter : filters) {
        if (!kPixelFilters.contains(filter)) {
            throw NotOnePicture(
                filter == QStringLiteral("DCTDecode") || filter == QStringLiteral("JPXDecode")
                    ? QStringLiteral("its picture is compressed once more over its %1 coding, which this program does "
                                     "not take out")
                          .arg(filter)
                    : QStringLiteral("its picture is compressed as %1, which this program does not take out")
                          .arg(filter));
        }
    }
    return PdfPictureCoding::Pixels;
}

[[noreturn]] void RefuseColours(const std::string& family)
{
    throw NotOnePicture(QStringLiteral("its picture's colours are of a kind this program does not keep (%1)")
                            .arg(QString::fromStdString(family).mid(1)));
}

// A colour space as the picture's samples use it.
struct ColourSpace {
    int components = 0;  // 1 grey, 3 RGB, 4 CMYK
    QPDFObjectHandle iccProfile = QPDFObjectHandle::newNull();
    bool indexed = false;
    int indexedChannels = 0;
    QByteArray palette;
};

QByteArray StreamOrStringBytes(QPDFObjectHandle object, qint64 limit)
{
    if (object.isString()) {
        return QByteArray::fromStdString(object.getStringValue());
    }
    if (object.isStream()) {
        const StreamData data = ReadStreamData(object, qpdf_dl_specialized, limit);
        if (data.whole && !data.more) {
            return data.bytes;
        }
    }
    throw NotOnePicture(QStringLiteral("its picture's colours cannot be read"));
}

ColourSpace ColourSpaceOf(QPDFObjectHandle space, bool indexedAllowed)
{
    static const std::map<std::string, int> kComponentsByName = {
        {"/DeviceGray", 1}, {"/G", 1},      {"/CalGray", 1},    {"/DeviceRGB", 3},
        {"/RGB", 3},        {"/CalRGB", 3}, {"/DeviceCMYK", 4}, {"/CMYK", 4},
    };
    QPDFObjectHandle family = space.isArray() && space.getArrayNItems() > 0 ? space.getArrayItem(0) : space;
    if (!family.isName()) {
        throw NotOnePicture(QStringLiteral("its picture's colours cannot be read"));
    }
    const std::string name = family.getName();
    if (const auto known = kComponentsByName.find(name); known != kComponentsByName.end()) {
        return {known->second, QPDFObjectHandle::newNull(), false, 0, {}};
    }
    if (name == "/ICCBased" && space.getArrayNItems() >= 2 && space.getArrayItem(1).isStream()) {
        QPDFObjectHandle profile = space.getArrayItem(1);
        QPDFObjectHandle count = profile.getDict().getKey("/N");
        if (!count.isInteger() || (count.getIntValue() != 1 && count.getIntValue() != 3 && count.getIntValue() != 4)) {
            RefuseColours(name);
        }
        return {count.getIntValueAsInt(), profile, false, 0, {}};
    }
    if (name == "/Indexed" && indexedAllowed && space.getArrayNItems() == 4) {
        ColourSpace base = ColourSpaceOf(space.getArrayItem(1), false);
        QPDFObjectHandle highest = space.getArrayItem(2);
        if (base.components == 4 || !highest.isInteger() || highest.getIntValue() < 0 || highest.getIntValue() > 255) {
            RefuseColours(name);
        }
        const qsizetype paletteBytes = (highest.getIntValue() + 1) * base.components;
        const QByteArray lookup = StreamOrStringBytes(space.getArrayItem(3), paletteBytes);
        if (lookup.size() < paletteBytes) {
            throw NotOnePicture(QStringLiteral("its picture's colours cannot be read"));
        }
        return {1, base.iccProfile, true, base.components, lookup.left(paletteBytes)};
    }
    RefuseColours(name);
}

// The values of a Decode array, none when it is absent.
std::vector<double> DecodeValues(QPDFObjectHandle decode)
{
    std::vector<double> values;
    if (decode.isArray()) {
        for (QPDFObjectHandle item : decode.getArrayAsVector()) {
            if (!item.isNumber()) {
                throw NotOnePicture(QStringLiteral("its picture's colours cannot be read"));
            }
            values.push_back(item.getNumericValue());
        }
    }
    return values;
}

// Whether the Decode array maps every sample to itself (`inverted` false) or to its opposite (true), of samples of
// `components` components reaching up to `highest`; anything else remaps the colours, which is refused.
bool Inverted(const std::vector<double>& decode, int components, double highest)
{
    if (decode.empty()) {
        return false;
    }
    bool plain = decode.size() == static_cast<std::size_t>(2 * components);
    bool inverted = plain;
    for (std::size_t i = 0; i + 1 < decode.size(); i += 2) {
        plain = plain && decode[i] == 0 && decode[i + 1] == highest;
        inverted = inverted && decode[i] == highest && decode[i + 1] == 0;
    }
    if (!plain && !inverted) {
        throw NotOnePicture(QStringLiteral("its picture's colours are remapped by the page"));
    }
    return inverted;
}

PdfColours PixelColours(QPDFObjectHandle dictionary)
{
    const ColourSpace space = ColourSpaceOf(dictionary.getKey("/ColorSpace"), true);
    if (space.components == 4) {
        throw NotOnePicture(QStringLiteral("its picture's colours are CMYK, which this program takes only in JPEG "
                                           "pictures"));
    }
    QPDFObjectHandle bits = dictionary.getKey("/BitsPerComponent");
    const std::set<long long> allowed =
        space.indexed ? std::set<long long>{1, 2, 4, 8} : std::set<long long>{1, 2, 4, 8, 16};
    if (!bits.isInteger() || allowed.count(bits.getIntValue()) == 0) {
        throw NotOnePicture(QStringLiteral("its picture's samples cannot be read"));
    }
    PdfColours colours;
    colours.components = space.components;
    colours.channels = space.indexed ? space.indexedChannels : space.components;
    colours.bitsPerSample = bits.getIntValueAsInt();
    const double highest = space.indexed ? (1 << colours.bitsPerSample) - 1 : 1;
    colours.inverted = Inverted(DecodeValues(dictionary.getKey("/Decode")), colours.components, highest);
    if (space.indexed && colours.inverted) {
        throw NotOnePicture(QStringLiteral("its picture's colours are remapped by the page"));
    }
    colours.palette = space.palette;
    colours.iccProfile = space.iccProfile;
    return colours;
}

// What the image's dictionary says of the picture.
PdfPagePicture DescribePicture(QPDFObjectHandle image)
{
    QPDFObjectHandle dictionary = image.getDict();
    QPDFObjectHandle mask = dictionary.getKey("/ImageMask");
    if (mask.isBool() && mask.getBoolValue()) {
        throw NotOnePicture(QStringLiteral("it holds a mask instead of a picture"));
    }
    QPDFObjectHandle maskInData = dictionary.getKey("/SMaskInData");
    if (dictionary.hasKey("/SMask") || dictionary.hasKey("/Mask")
        || (maskInData.isInteger() && maskInData.getIntValue() != 0)) {
        throw NotOnePicture(QStringLiteral("its picture has see-through parts"));
    }
    QPDFObjectHandle width = dictionary.getKey("/Width");
    QPDFObjectHandle height = dictionary.getKey("/Height");
    if (!width.isInteger() || !height.isInteger() || width.getIntValue() <= 0 || height.getIntValue() <= 0
        || width.getIntValue() > INT_MAX || height.getIntValue() > INT_MAX) {
        throw NotOnePicture(QStringLiteral("its picture has no size"));
    }
    PdfPagePicture picture{image,
                           CodingOf(FilterNames(dictionary.getKey("/Filter"))),
                           QSize(width.getIntValueAsInt(), height.getIntValueAsInt()),
                           {}};
    QPDFObjectHandle space = dictionary.getKey("/ColorSpace");
    switch (picture.coding) {
    case PdfPictureCoding::Pixels:
        picture.colours = PixelColours(dictionary);
        break;
    case PdfPictureCoding::Jpeg: {
        // The JPEG picture carries its own colours; the page may only show them as they are.
        const ColourSpace colours =
            ColourSpaceOf(space.isNull() ? QPDFObjectHandle::newName("/DeviceRGB") : space, false);
        Inverted(DecodeValues(dictionary.getKey("/Decode")), colours.components, 1);
        break;
    }
    case PdfPictureCoding::Jpeg2000:
        // A JPEG 2000 picture carries its colours, unless the page gives them, which only grey and RGB may be.
        if (!space.isNull() && ColourSpaceOf(space, false).components == 4) {
            RefuseColours("/DeviceCMYK");
        }
        break;
    }
    return picture;
}

}  // namespace

PdfPagePicture FindPagePicture(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    if (rotate.isInteger() && rotate.getIntValue() % 360 != 0) {
        throw NotOnePicture(QStringLiteral("the page is turned"));
    }
    const PageDrawing drawing(DrawingInstructions(page));
    if (drawing.Draws().empty()) {
        throw NotOnePicture(QStringLiteral("it holds no picture"));
    }
    if (drawing.Draws().size() > 1) {
        throw NotOnePicture(QStringLiteral("it holds several pictures"));
    }
    const Draw& draw = drawing.Draws().front();
    QPDFObjectHandle resources = page.getAttribute("/Resources", false);
    QPDFObjectHandle objects = resources.isDictionary() ? resources.getKey("/XObject") : QPDFObjectHandle::newNull();
    QPDFObjectHandle drawn = objects.isDictionary() ? objects.getKey(draw.name) : QPDFObjectHandle::newNull();
    if (!drawn.isStream()) {
        throw NotOnePicture(QStringLiteral("the picture it draws is missing"));
    }
    if (!drawn.getDict().getKey("/Subtype").isNameAndEquals("/Image")) {
        throw NotOnePicture(QStringLiteral("it draws a group of other drawing instructions"));
    }
    RequireFillsPage(page, draw.matrix);
    return DescribePicture(drawn);
}

QByteArray ColourProfile(const PdfColours& colours)
{
    QPDFObjectHandle profile = colours.iccProfile;
    if (profile.isNull()) {
        return {};
    }
    const StreamData data = ReadStreamData(profile, qpdf_dl_specialized, kMaxColourProfileBytes);
    if (!data.whole || data.more) {
        throw PictureError(QStringLiteral("its colour profile cannot be read"));
    }
    return data.bytes;
}
