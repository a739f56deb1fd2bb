#include "builder/epub/book_identity.h"

#include "archive/zip_entry_reader.h"
#include "archive/zip_errors.h"
#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"

#include <QUuid>
#include <QXmlStreamReader>

#include <optional>

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
    // The document is read a piece at a time: the identifier comes near its start, and the whole package document
    // of a big book, decoded at once, would take tens of megabytes.
    constexpr qsizetype kPiece = 64 * 1024;
    const QString dc = kDublinCoreNamespace;
    QXmlStreamReader reader;
    qsizetype fed = 0;
    QString uniqueIdentifier;
    std::optional<QString> identifierText;
    for (;;) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (reader.error() != QXmlStreamReader::PrematureEndOfDocumentError || fed >= opf.size()) {
                return {};
            }
            reader.addData(opf.mid(fed, kPiece));
            fed += kPiece;
        } else if (token == QXmlStreamReader::EndDocument) {
            return {};
        } else if (identifierText) {
            // The identifier is text only; an element inside it makes it none.
            if (token == QXmlStreamReader::StartElement) {
                return {};
            }
            if (token == QXmlStreamReader::Characters) {
                *identifierText += reader.text();
            } else if (token == QXmlStreamReader::EndElement) {
                return UuidUrnOrEmpty(*identifierText);
            }
        } else if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == u"package") {
                uniqueIdentifier = reader.attributes().value(QLatin1String("unique-identifier")).toString();
            } else if (reader.namespaceUri() == dc && reader.name() == u"identifier" && !uniqueIdentifier.isEmpty()
                       && reader.attributes().value(QLatin1String("id")) == uniqueIdentifier) {
                identifierText.emplace();
            }
        }
    }
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
