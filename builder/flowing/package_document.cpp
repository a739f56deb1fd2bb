#include "builder/flowing/package_document.h"

#include "builder/epub/book_document.h"
#include "builder/epub/book_identity.h"
#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"
#include "builder/epub/manifest_items.h"
#include "builder/names/file_names.h"
#include "builder/workflow/book_settings.h"
#include "common/product.h"
#include "xml/xml_operations.h"

namespace {

const QString kXhtmlMediaType = QStringLiteral("application/xhtml+xml");

struct MetadataEntry {
    QString element;
    QList<std::pair<QString, QString>> attributes;  // name and value, in order
    QString text;
};

// The children of "metadata", in the order the document lists them.
QList<MetadataEntry> MetadataEntries(const BookSettings& settings, const QString& identifier, const QDate& today)
{
    return {
        {QStringLiteral("dc:title"), {}, settings.title},
        {QStringLiteral("dc:creator"), {{QStringLiteral("opf:role"), QStringLiteral("aut")}}, settings.author},
        {QStringLiteral("dc:subject"), {}, {}},
        {QStringLiteral("dc:description"), {}, {}},
        {QStringLiteral("dc:contributor"), {}, {}},
        {QStringLiteral("dc:date"), {}, today.toString(Qt::ISODate)},
        {QStringLiteral("dc:type"), {}, {}},
        {QStringLiteral("dc:format"), {}, {}},
        {QStringLiteral("dc:identifier"),
         {{QStringLiteral("id"), kBookIdentifierId}, {QStringLiteral("opf:scheme"), QStringLiteral("UUID")}},
         identifier},
        {QStringLiteral("dc:source"), {}, kHomePageAddress},
        {QStringLiteral("dc:language"), {}, BookLanguage(settings)},
        {QStringLiteral("dc:relation"), {}, {}},
        {QStringLiteral("dc:coverage"), {}, {}},
        {QStringLiteral("dc:rights"), {}, {}},
    };
}

// A "meta" of a name and its content, held as the metadata's other elements are, with an empty text.
void AppendMeta(TXMLNode& metadata, const QString& name, const QString& content)
{
    TXMLNode& meta = AppendElement(metadata, QStringLiteral("meta"));
    SetAttributeValue(meta, QStringLiteral("name"), name);
    SetAttributeValue(meta, QStringLiteral("content"), content);
    SetElementText(meta, QString());
}

void AppendMetadata(TXMLNode& root, const BookSettings& settings, bool hasPages, const QString& identifier,
                    const QDate& today)
{
    TXMLNode& metadata = AppendElementNS(root, QStringLiteral("metadata"), root.NamespaceURI());
    DeclareNamespacePrefix(metadata, QString(), kOpfNamespace);
    DeclareNamespacePrefix(metadata, QStringLiteral("dc"), kDublinCoreNamespace);
    DeclareNamespacePrefix(metadata, QStringLiteral("opf"), kOpfNamespace);
    RemoveAttributeNamed(metadata, QStringLiteral("xmlns"));

    for (const MetadataEntry& entry : MetadataEntries(settings, identifier, today)) {
        TXMLNode& element = AppendElement(metadata, entry.element);
        for (const auto& [name, value] : entry.attributes) {
            SetAttributeValue(element, name, value);
        }
        SetElementText(element, entry.text);
    }
    // The cover meta names the cover picture's item; a book without a cover of its own has its first page's picture
    // taken for one.
    const bool hasCover = !settings.coverPath.isEmpty();
    if (hasCover || hasPages) {
        AppendMeta(metadata, QStringLiteral("cover"), hasCover ? QStringLiteral("cover-image") : kFirstPagePictureId);
    }
    // The series, as calibre and the libraries that follow it read it.
    if (!settings.series.isEmpty()) {
        AppendMeta(metadata, QStringLiteral("calibre:series"), settings.series);
        if (!settings.seriesNumber.isEmpty()) {
            AppendMeta(metadata, QStringLiteral("calibre:series_index"), settings.seriesNumber);
        }
    }
}

void AppendManifest(TXMLNode& root, const PictureNames& names, const BookFormat& format, bool hasCover,
                    BookDocumentWriter& file)
{
    TXMLNode& manifest = AppendElement(root, QStringLiteral("manifest"));
    AppendManifestItem(manifest, QStringLiteral("style"), kStyleSheetName, QStringLiteral("text/css"));
    AppendManifestItem(manifest, QStringLiteral("ncx"), kNcxDocumentName, QStringLiteral("application/x-dtbncx+xml"));
    if (hasCover) {
        AppendManifestItem(manifest, QStringLiteral("cover"), format.CoverPageName(), kXhtmlMediaType);
        AppendManifestItem(manifest, QStringLiteral("cover-image"), UriPathSegment(names.coverName),
                           names.mediaTypes.value(names.coverName));
    }
    AppendPageAndPictureItems(manifest, names, format, file);
}

void AppendSpineItem(TXMLNode& spine, const QString& idref)
{
    TXMLNode& itemref = AppendElement(spine, QStringLiteral("itemref"));
    SetAttributeValue(itemref, QStringLiteral("idref"), idref);
    SetAttributeValue(itemref, QStringLiteral("linear"), QStringLiteral("yes"));
}

void AppendSpine(TXMLNode& root, qsizetype pageCount, bool hasCover, BookDocumentWriter& file)
{
    TXMLNode& spine = AppendElement(root, QStringLiteral("spine"));
    SetAttributeValue(spine, QStringLiteral("toc"), QStringLiteral("ncx"));
    if (hasCover) {
        AppendSpineItem(spine, QStringLiteral("cover"));
    }
    for (qsizetype page = 1; page <= pageCount; ++page) {
        AppendSpineItem(spine, QStringLiteral("page%1").arg(page));
        file.PageDone();
    }
}

// Only a book with a cover has a guide: its one reference is the cover page.
void AppendGuide(TXMLNode& root, const QString& coverPage, bool hasCover)
{
    if (!hasCover) {
        return;
    }
    TXMLNode& guide = AppendElement(root, QStringLiteral("guide"));
    TXMLNode& reference = AppendElement(guide, QStringLiteral("reference"));
    SetAttributeValue(reference, QStringLiteral("href"), coverPage);
    SetAttributeValue(reference, QStringLiteral("title"), QStringLiteral("cover"));
    SetAttributeValue(reference, QStringLiteral("type"), QStringLiteral("cover"));
}

}  // namespace

void WritePackageDocument(QIODevice& out, const BookSettings& settings, const PictureNames& names,
                          const QString& identifier, const BookFormat& format, const QDate& today,
                          const PauseBetweenPages& pause)
{
    const bool hasCover = !settings.coverPath.isEmpty();
    BookDocumentWriter file(out, kPackageDocumentName, pause);

    TXMLNode& root = AppendElementNS(file.Document().DocumentNode(), QStringLiteral("package"), kOpfNamespace);
    SetAttributeValueNS(root, QStringLiteral("unique-identifier"), QString(), kBookIdentifierId);
    SetAttributeValueNS(root, QStringLiteral("version"), QString(), QStringLiteral("2.0"));
    AppendMetadata(root, settings, !names.pageNames.isEmpty(), identifier, today);
    AppendManifest(root, names, format, hasCover, file);
    AppendSpine(root, names.pageNames.size(), hasCover, file);
    AppendGuide(root, format.CoverPageName(), hasCover);
    file.Finish();
}
