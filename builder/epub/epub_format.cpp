#include "builder/epub/epub_format.h"

#include "archive/zip_records.h"
#include "builder/epub/book_identity.h"
#include "builder/epub/epub_names.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

const QString kFlowingPageExtension = QStringLiteral(".html");
const QString kFixedPageExtension = QStringLiteral(".xhtml");

// Whether `key`, a name as the book compares names, is "page" and the number of one of the book's `pageCount` pages
// as a conversion writes it (without leading zeros), then the extension of either kind's pages.
bool IsPageDocumentOfEitherKind(const QString& key, qsizetype pageCount)
{
    const QLatin1StringView prefix("page");
    const QString& suffix = key.endsWith(kFixedPageExtension) ? kFixedPageExtension : kFlowingPageExtension;
    if (!key.startsWith(prefix) || !key.endsWith(suffix) || key.size() <= prefix.size() + suffix.size()) {
        return false;
    }
    const QStringView number = QStringView(key).mid(prefix.size(), key.size() - prefix.size() - suffix.size());
    if (number.front() == u'0'
        || !std::all_of(number.begin(), number.end(), [](QChar c) { return c.isDigit() && c.unicode() < 0x80; })) {
        return false;
    }
    bool ok = false;
    const qlonglong page = number.toLongLong(&ok);
    return ok && page <= pageCount;
}

}  // namespace

QString EpubFormat::Extension() const
{
    return QStringLiteral(".epub");
}

QStringList EpubFormat::OpeningFiles() const
{
    return {kMimetypeName, QStringLiteral("META-INF/*")};
}

QString EpubFormat::ContentFolder() const
{
    return kContentFolderName;
}

std::unique_ptr<PictureNameRegistry> EpubFormat::PictureNaming(qsizetype pageCount, bool withCover) const
{
    QStringList reserved = {kPackageDocumentName, kNcxDocumentName, kNavDocumentName, kStyleSheetName};
    if (withCover) {
        reserved << QStringLiteral("cover") + kFlowingPageExtension << QStringLiteral("cover") + kFixedPageExtension;
    }
    return std::make_unique<PictureNameRegistry>(
        reserved, [pageCount](const QString& key) { return IsPageDocumentOfEitherKind(key, pageCount); });
}

QString EpubFormat::PageDocumentName(qsizetype page) const
{
    return PageDocumentNamed(page, PageExtension());
}

QString EpubFormat::CoverPageName() const
{
    return QStringLiteral("cover") + PageExtension();
}

QString EpubFormat::IdentifierFor(const QString& bookPath) const
{
    return BookIdentifierFor(bookPath);
}

bool EpubFormat::BeginsAsItsBook(QByteArrayView firstBytes) const
{
    // The local header of the first entry, "mimetype", stored uncompressed without an extra field, then its data.
    const QByteArray name = kMimetypeName.toLatin1();
    const QByteArrayView mediaType(kEpubMediaType);
    if (firstBytes.size() < kLocalHeaderSize + name.size() + mediaType.size()) {
        return false;
    }
    const char* header = firstBytes.data();
    const char* data = header + kLocalHeaderSize;
    return qFromLittleEndian<quint32>(header) == kLocalHeaderSignature
           && qFromLittleEndian<quint16>(header + 8) == kMethodStore
           && qFromLittleEndian<quint16>(header + 26) == name.size() && qFromLittleEndian<quint16>(header + 28) == 0
           && std::memcmp(data, name.constData(), static_cast<size_t>(name.size())) == 0
           && QByteArrayView(data + name.size(), mediaType.size()) == mediaType;
}
