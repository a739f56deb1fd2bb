#include "builder/package_document.h"

#include "builder/book_document.h"
#include "builder/book_namespaces.h"
#include "builder/language_tag.h"
#include "builder/product.h"
#include "xml/xml_document.h"
#include "xml/xml_operations.h"
#include "xml/xml_writer.h"

#include <QLocale>

namespace {

struct MetadataEntry {
    QString element;
    QString attributeName;  // empty for an element without attribute
    QString attributeValue;
    QString text;
};

// The children of "metadata", in the order the document lists them.
QList<MetadataEntry> MetadataEntries(const BookSettings& settings, const QDate& today)
{
    return {
        {QStringLiteral("dc:title"), {}, {}, settings.title},
        {QStringLiteral("dc:creator"), QStringLiteral("opf:role"), QStringLiteral("aut"), settings.author},
        {QStringLiteral("dc:subject"), {}, {}, {}},
        {QStringLiteral("dc:description"), {}, {}, {}},
        {QStringLiteral("dc:contributor"), {}, {}, {}},
        {QStringLiteral("dc:date"), {}, {}, ShortDateText(today)},
        {QStringLiteral("dc:type"), {}, {}, QStringLiteral("[type]")},
        {QStringLiteral("dc:format"), {}, {}, {}},
        {QStringLiteral("dc:identifier"), QStringLiteral("opf:scheme"), QStringLiteral("ISBN"), {}},
        {QStringLiteral("dc:source"), {}, {}, kHomePageAddress},
        {QStringLiteral("dc:language"), {}, {}, GetLanguageTag()},
        {QStringLiteral("dc:relation"), {}, {}, {}},
        {QStringLiteral("dc:coverage"), {}, {}, {}},
        {QStringLiteral("dc:rights"), {}, {}, kRightsNotice},
    };
}

void AppendMetadata(TXMLNode& root, const BookSettings& settings, const QDate& today)
{
    TXMLNode& metadata = AppendElementNS(root, QStringLiteral("metadata"), root.NamespaceURI());
    DeclareNamespacePrefix(metadata, QString(), kOpfNamespace);
    DeclareNamespacePrefix(metadata, QStringLiteral("dc"), kDublinCoreNamespace);
    DeclareNamespacePrefix(metadata, QStringLiteral("opf"), kOpfNamespace);
    RemoveAttributeNamed(metadata, QStringLiteral("xmlns"));

    for (const MetadataEntry& entry : MetadataEntries(settings, today)) {
        TXMLNode& element = AppendElement(metadata, entry.element);
        if (!entry.attributeName.isEmpty()) {
            SetAttributeValue(element, entry.attributeName, entry.attributeValue);
        }
        SetElementText(element, entry.text);
    }
    TXMLNode& cover = AppendElement(metadata, QStringLiteral("meta"));
    SetAttributeValue(cover, QStringLiteral("name"), QStringLiteral("cover"));
    SetAttributeValue(cover, QStringLiteral("content"), QStringLiteral("cover-image"));
    SetElementText(cover, QString());
}

void AppendManifestItem(TXMLNode& manifest, const QString& id, const QString& href, const QString& mediaType)
{
    TXMLNode& item = AppendElement(manifest, QStringLiteral("item"));
    SetAttributeValue(item, QStringLiteral("id"), id);
    SetAttributeValue(item, QStringLiteral("href"), href);
    SetAttributeValue(item, QStringLiteral("media-type"), mediaType);
}

void AppendManifest(TXMLNode& root, int pageCount, bool hasCover, const QString& coverFileName)
{
    const QString xhtml = QStringLiteral("application/xhtml+xml");
    TXMLNode& manifest = AppendElement(root, QStringLiteral("manifest"));
    AppendManifestItem(manifest, QStringLiteral("style"), QStringLiteral("stylesheet.css"), QStringLiteral("text/css"));
    AppendManifestItem(manifest, QStringLiteral("ncx"), QStringLiteral("fb.ncx"),
                       QStringLiteral("application/x-dtbncx+xml"));
    if (hasCover) {
        AppendManifestItem(manifest, QStringLiteral("cover"), QStringLiteral("cover.html"), xhtml);
        AppendManifestItem(manifest, QStringLiteral("cover-image"), coverFileName, QStringLiteral("image/jpeg"));
    }
    for (int page = 1; page <= pageCount; ++page) {
        AppendManifestItem(manifest, QStringLiteral("page%1").arg(page), QStringLiteral("page%1.html").arg(page), xhtml);
    }
}

void AppendSpineItem(TXMLNode& spine, const QString& idref)
{
    TXMLNode& itemref = AppendElement(spine, QStringLiteral("itemref"));
    SetAttributeValue(itemref, QStringLiteral("idref"), idref);
    SetAttributeValue(itemref, QStringLiteral("linear"), QStringLiteral("yes"));
}

void AppendSpine(TXMLNode& root, int pageCount, bool hasCover)
{
    TXMLNode& spine = AppendElement(root, QStringLiteral("spine"));
    SetAttributeValue(spine, QStringLiteral("toc"), QStringLiteral("ncx"));
    if (hasCover) {
        AppendSpineItem(spine, QStringLiteral("cover"));
    }
    for (int page = 1; page <= pageCount; ++page) {
        AppendSpineItem(spine, QStringLiteral("page%1").arg(page));
    }
}

void AppendGuide(TXMLNode& root, bool hasCover, const QString& coverFileName)
{
    TXMLNode& guide = AppendElement(root, QStringLiteral("guide"));
    if (hasCover) {
        TXMLNode& reference = AppendElement(guide, QStringLiteral("reference"));
        SetAttributeValue(reference, QStringLiteral("href"), coverFileName);
        SetAttributeValue(reference, QStringLiteral("title"), QStringLiteral("cover"));
        SetAttributeValue(reference, QStringLiteral("type"), QStringLiteral("cover"));
    }
}

}  // namespace

QString ShortDateText(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

void WritePackageDocument(int pageCount, const BookSettings& settings, const QString& coverFileName,
                          const QString& oebpsDir, const QDate& today)
{
    const bool hasCover = !settings.coverPath.isEmpty();
    TXMLDocument document;
    PrepareBookDocument(document);

    TXMLNode& root = AppendElementNS(document.DocumentNode(), QStringLiteral("package"), kOpfNamespace);
    SetAttributeValueNS(root, QStringLiteral("unique-identifier"), QString(), QStringLiteral("BookId"));
    SetAttributeValueNS(root, QStringLiteral("version"), QString(), QStringLiteral("2.0"));
    AppendMetadata(root, settings, today);
    AppendManifest(root, pageCount, hasCover, coverFileName);
    AppendSpine(root, pageCount, hasCover);
    AppendGuide(root, hasCover, coverFileName);

    WriteToFile(document, oebpsDir + QStringLiteral("/fb.opf"));
}
