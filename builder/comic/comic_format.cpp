#include "builder/comic/comic_format.h"

#include "archive/zip_records.h"
#include "builder/workflow/book_settings.h"
#include "comics/comic_info_writer.h"

#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>

namespace {

const QString kComicInfoName = QStringLiteral("ComicInfo.xml");
// Pages are numbered with at least this many digits, so that the names of a book of up to 9999 pages sort as
// numbers do.
constexpr int kLeastDigits = 4;

// Names each picture by its place in the book, with the extension of the picture it holds: 0000.jpg for the cover,
// 0001.png, 0002.jpg, ... for the pages. A picture shown on several pages is held once, at its first place.
class PlaceNaming final : public PictureNaming {
public:
    explicit PlaceNaming(qsizetype pageCount)
        : digits_(std::max(kLeastDigits, static_cast<int>(QString::number(pageCount).size())))
    {}

    QString NameFor(const QString&, const QString& fileName, qsizetype place) override
    {
        const qsizetype dot = fileName.lastIndexOf(u'.');
        const QString extension = dot >= 0 ? fileName.mid(dot).toLower() : QString();
        return QStringLiteral("%1").arg(place, digits_, 10, QLatin1Char('0')) + extension;
    }

private:
    int digits_;
};

// What ComicInfo.xml says of the book: its texts, and each page's size in the order the pages' names sort, the
// cover first.
ComicInfoToWrite InfoOf(const BookFacts& book)
{
    ComicInfoToWrite info;
    info.title = book.settings.title;
    info.series = book.settings.series;
    info.number = book.settings.seriesNumber;
    info.writer = book.settings.author;
    info.language = BookLanguage(book.settings).section(u'-', 0, 0);
    info.readingDirection = book.settings.direction;
    const PictureNames& names = book.names;
    if (!names.coverName.isEmpty()) {
        info.frontCover = 0;
        info.pageSizes.append(names.displayedSizes.value(names.coverName));
    }
    for (const QString& name : PagePictureFiles(names)) {
        info.pageSizes.append(names.displayedSizes.value(name));
    }
    return info;
}

}  // namespace

QString ComicFormat::Key() const
{
    return QStringLiteral("cbz");
}

QString ComicFormat::Label() const
{
    return QStringLiteral("Comic archive (CBZ)");
}

QString ComicFormat::Description() const
{
    return QStringLiteral("the pictures in page order with a ComicInfo.xml, for comic readers and libraries that "
                          "show comic archives");
}

QString ComicFormat::Extension() const
{
    return QStringLiteral(".cbz");
}

QStringList ComicFormat::OpeningFiles() const
{
    return {};
}

EntryMethod ComicFormat::MethodFor(EntryHolds holds) const
{
    return holds == EntryHolds::Picture ? EntryMethod::Store : EntryMethod::Deflate;
}

QString ComicFormat::ContentFolder() const
{
    return {};
}

std::unique_ptr<PictureNaming> ComicFormat::NamePictures(qsizetype pageCount, bool) const
{
    return std::make_unique<PlaceNaming>(pageCount);
}

QString ComicFormat::PageDocumentName(qsizetype) const
{
    return {};
}

QString ComicFormat::CoverPageName() const
{
    return {};
}

QByteArray ComicFormat::PageText(const PageOfBook&) const
{
    return {};
}

QList<BookDocument> ComicFormat::Documents(const BookFacts& book) const
{
    return {{kComicInfoName, [book](QIODevice& out, const PauseBetweenPages&) {
                 WriteDocumentBytes(out, WriteComicInfo(InfoOf(book)), kComicInfoName);
             }}};
}

QString ComicFormat::IdentifierFor(const QString&) const
{
    return {};
}

bool ComicFormat::BeginsAsItsBook(QByteArrayView firstBytes) const
{
    // The local header of the first entry, a picture named by its place, stored.
    static const QRegularExpression kPlaceName(QStringLiteral("^\\d{4,}\\.(jpg|png|gif)$"));
    if (firstBytes.size() < kLocalHeaderSize) {
        return false;
    }
    const char* header = firstBytes.data();
    const qsizetype nameLength = qFromLittleEndian<quint16>(header + 26);
    return qFromLittleEndian<quint32>(header) == kLocalHeaderSignature
           && qFromLittleEndian<quint16>(header + 8) == kMethodStore
           && firstBytes.size() >= kLocalHeaderSize + nameLength
           && kPlaceName.match(QString::fromLatin1(header + kLocalHeaderSize, nameLength)).hasMatch();
}
