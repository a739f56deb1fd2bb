#include "builder/epub/manifest_items.h"

#include "builder/names/file_names.h"
#include "xml/xml_operations.h"

void AppendManifestItem(TXMLNode& manifest, const QString& id, const QString& href, const QString& mediaType,
                        const QString& properties)
{
    TXMLNode& item = AppendElement(manifest, QStringLiteral("item"));
    SetAttributeValue(item, QStringLiteral("id"), id);
    SetAttributeValue(item, QStringLiteral("href"), href);
    SetAttributeValue(item, QStringLiteral("media-type"), mediaType);
    if (!properties.isEmpty()) {
        SetAttributeValue(item, QStringLiteral("properties"), properties);
    }
}

void AppendPageAndPictureItems(TXMLNode& manifest, const PictureNames& names, const BookFormat& format,
                               BookDocumentWriter& file, const QString& firstPictureProperties)
{
    for (qsizetype page = 1; page <= names.pageNames.size(); ++page) {
        AppendManifestItem(manifest, QStringLiteral("page%1").arg(page), format.PageDocumentName(page),
                           QStringLiteral("application/xhtml+xml"));
        file.PageDone();
    }
    const QStringList pictures = PagePictureFiles(names);
    for (qsizetype picture = 0; picture < pictures.size(); ++picture) {
        AppendManifestItem(manifest, QStringLiteral("image%1").arg(picture + 1), UriPathSegment(pictures[picture]),
                           names.mediaTypes.value(pictures[picture]),
                           picture == 0 ? firstPictureProperties : QString());
        file.PageDone();
    }
}
