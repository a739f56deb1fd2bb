#include "builder/book_identity.h"

#include "archive/zip_entry_reader.h"
#include "archive/zip_errors.h"
#include "builder/book_entry_names.h"
#include "builder/book_namespaces.h"

#include <QUuid>
#include <QXmlStreamReader>

namespace {

constexpr char kUrnPrefix[] = "urn:uuid:";
// The package document of a book of ours is a few hundred bytes per page.
constexpr qint64 kMaxPackageDocumentSize = 64 * 1024 * 1024;

QString NewBookIdentifier()
{
    return QLatin1String(kUrnPrefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// "urn:uuid:" followed by a UUID, as the book wrote it; empty for any other text.
QString UuidUrnOrEmpty(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String(kUrnPrefix), Qt::CaseInsensitive)) {
        return {};
    }
    const QUuid uuid(QStringView(trimmed).mid(qsizetype(sizeof kUrnPrefix) - 1));
    return uuid.isNull() ? QString() : QLatin1String(kUrnPrefix) + uuid.toString(QUuid::WithoutBraces);
}

}  // namespace

QString UuidIdentifierOf(const QByteArray& opf)
{
    const QString dc = kDublinCoreNamespace;
    QXmlStreamReader reader(opf);
    QString uniqueIdentifier;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == u"package") {
            uniqueIdentifier = reader.attributes().value(QLatin1String("unique-identifier")).toString();
        } else if (reader.namespaceUri() == dc && reader.name() == u"identifier" && !uniqueIdentifier.isEmpty()
                   && reader.attributes().value(QLatin1String("id")) == uniqueIdentifier) {
            return UuidUrnOrEmpty(reader.readElementText());
        }
    }
    return {};
}

QString BookIdentifierFor(const QString& bookPath)
{
    if (!bookPath.isEmpty()) {
        try {
            const std::optional<QByteArray> opf = ReadZipEntry(
                bookPath, (kContentFolderName + u'/' + kPackageDocumentName).toUtf8(), kMaxPackageDocumentSize);
            const QString earlier = opf ? UuidIdentifierOf(*opf) : QString();
            if (!earlier.isEmpty()) {
                return earlier;
            }
        } catch (const ZipError&) {
            // Whatever lies at the book path is not a book we can read: the new book is a new book.
        }
    }
    return NewBookIdentifier();
}
