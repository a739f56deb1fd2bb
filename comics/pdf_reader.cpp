#include "comics/pdf_reader.h"

#include "comics/comic_error.h"
#include "comics/jpeg2000.h"
#include "comics/memory_output.h"
#include "comics/pdf_page_picture.h"
#include "comics/pdf_pixels.h"
#include "comics/pdf_stream_data.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"

#include <QFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <new>

namespace {

QString PageName(int index)
{
    return QStringLiteral("page %1").arg(index + 1);
}

[[noreturn]] void Refuse(const char* reason)
{
    throw PictureError(QString::fromLatin1(reason));
}

}  // namespace

template <typename Work>
auto PdfReader::Guarded(const QString& memberPath, Work work) -> decltype(work())
{
    try {
        return work();
    } catch (const UserError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password) {
            throw ComicError(path_, memberPath, QString::fromLatin1(comic_reason::kPassword));
        }
        throw ComicError(path_, memberPath,
                         QStringLiteral("damaged: %1").arg(QString::fromStdString(error.getMessageDetail())));
    } catch (const std::exception& error) {
        throw ComicError(path_, memberPath, QStringLiteral("damaged: %1").arg(QString::fromUtf8(error.what())));
    }
}

PdfReader::PdfReader(const QString& path, const ComicLimits& limits)
    : path_(path),
      limits_(limits),
      pdf_(std::make_unique<QPDF>())
{
    Guarded({}, [this] {
        pdf_->setSuppressWarnings(true);
        pdf_->processFile(QFile::encodeName(path_).constData());
        const ComicError tooManyPages(
            path_, {}, QStringLiteral("it has more than %1 pages, the most this program reads").arg(limits_.members));
        // The page tree's own count is checked before qpdf lists every page.
        QPDFObjectHandle count = pdf_->getRoot().getKey("/Pages").getKey("/Count");
        if (count.isInteger() && count.getIntValue() > limits_.members) {
            throw tooManyPages;
        }
        pages_ = QPDFPageDocumentHelper(*pdf_).getAllPages();
        if (pages_.size() > static_cast<std::size_t>(limits_.members)) {
            throw tooManyPages;
        }
        // qpdf mends what damage it can; a PDF cut short loses its page tree, and with it every page.
        if (pages_.empty()) {
            throw ComicError(path_, {},
                             pdf_->anyWarnings()
                                 ? QStringLiteral("damaged or cut short: none of its pages can be found")
                                 : QStringLiteral("it has no pages"));
        }
    });
}

PdfReader::~PdfReader() = default;

PdfPagePicture PdfReader::PagePicture(int index)
{
    return Guarded(PageName(index), [this, index] {
        try {
            return FindPagePicture(pages_[static_cast<std::size_t>(index)]);
        } catch (const NotOnePicture& refusal) {
            throw ComicError(path_, PageName(index), QStringLiteral("not a single picture: %1").arg(refusal.Text()));
        }
    });
}

QByteArray PdfReader::StoredBytes(const PdfPagePicture& picture)
{
    const StreamData data = ReadStreamData(picture.image, qpdf_dl_none, limits_.memberBytes);
    if (data.more) {
        Refuse(picture_reason::kTooLarge);
    }
    if (!data.whole) {
        Refuse(picture_reason::kDamaged);
    }
    // qpdf gives a picture whose data it cannot find, as in a PDF cut short, as empty.
    if (data.bytes.isEmpty()) {
        Refuse(picture_reason::kCutShort);
    }
    return data.bytes;
}

qint64 PdfReader::MaxJpeg2000Samples() const
{
    // openjpeg holds four bytes of each sample: all of them together stay within the limit of one member.
    return limits_.memberBytes / 4;
}

PictureInfo PdfReader::InspectPagePicture(const PdfPagePicture& picture)
{
    const QByteArray stored = StoredBytes(picture);
    switch (picture.coding) {
    case PdfPictureCoding::Jpeg:
        return InspectPicture(PictureSource(stored));
    case PdfPictureCoding::Jpeg2000: {
        const Jpeg2000Facts facts = ReadJpeg2000Facts(stored);
        if (qint64(facts.size.width()) * facts.size.height() > kMaxWholePixels
            || facts.samples > MaxJpeg2000Samples()) {
            Refuse(picture_reason::kTooLarge);
        }
        return {facts.lossless ? PictureKind::Png : PictureKind::Jpeg, facts.size, 1};
    }
    case PdfPictureCoding::Pixels:
        if (PdfPixelBytes(picture) > limits_.memberBytes
            || qint64(picture.size.width()) * picture.size.height() > kMaxWholePixels) {
            Refuse(picture_reason::kTooLarge);
        }
        return {PictureKind::Png, picture.size, 1};
    }
    Q_UNREACHABLE();
}

QByteArray PdfReader::PictureBytes(const PdfPagePicture& picture)
{
    switch (picture.coding) {
    case PdfPictureCoding::Jpeg:
        return StoredBytes(picture);
    case PdfPictureCoding::Jpeg2000: {
        const DecodedJpeg2000 decoded = DecodeJpeg2000(StoredBytes(picture), MaxJpeg2000Samples());
        MemoryOutput output;
        WriteConverted(decoded.pixels, decoded.iccProfile, !decoded.lossless, output);
        return output.Bytes();
    }
    case PdfPictureCoding::Pixels: {
        const PixelBuffer pixels = DecodePdfPixels(picture, limits_.memberBytes);
        MemoryOutput output;
        WriteConverted(pixels, ColourProfile(picture.colours), false, output);
        return output.Bytes();
    }
    }
    Q_UNREACHABLE();
}

ComicListing PdfReader::List()
{
    // Every page is checked before any picture is read: one page that is not a picture refuses the whole PDF.
    std::vector<PdfPagePicture> pictures;
    for (int index = 0; index < static_cast<int>(pages_.size()); ++index) {
        pictures.push_back(PagePicture(index));
    }
    ComicListing listing;
    for (int index = 0; index < static_cast<int>(pictures.size()); ++index) {
        const ComicMember member{index, PageName(index)};
        try {
            listing.pages.append(
                {member, Guarded(member.path, [&] { return InspectPagePicture(pictures[std::size_t(index)]); })});
        } catch (const PictureError& error) {
            listing.leftOut.append(ComicError(path_, member.path, error.Text()).Text());
        }
    }
    return listing;
}

QByteArray PdfReader::Read(const ComicMember& member)
{
    if (member.index < 0 || member.index >= static_cast<int>(pages_.size()) || member.path != PageName(member.index)) {
        throw ComicError(path_, member.path, QString::fromLatin1(comic_reason::kChanged));
    }
    const PdfPagePicture picture = PagePicture(member.index);
    return Guarded(member.path, [&] {
        try {
            return PictureBytes(picture);
        } catch (const PictureError& error) {
            throw ComicError(path_, member.path, error.Text());
        }
    });
}
