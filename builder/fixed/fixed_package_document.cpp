#include "builder/fixed/fixed_package_document.h"

#include "builder/epub/book_identity.h"
#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"
#include "builder/epub/manifest_items.h"
#include "builder/fixed/page_spreads.h"
#include "builder/names/file_names.h"
#include "builder/workflow/book_settings.h"
#include "xml/xml_operations.h"

#include <QHash>

namespace {

const QString kXhtmlMediaType = QStringLiteral("application/xhtml+xml");

// The picture names of the spine's pages, in reading order: the cover first when there is one.
QStringList SpinePictures(const PictureNames& names)
{
    QStringList pictures;
    if (!names.coverName.isEmpty()) {
        pictures.append(names.coverName);
    }
    pictures.append(names.pageNames);
    return pictures;
}

TXMLNode& AppendTextElement(TXMLNode& parent, const QString& name, const QString& text)
{
    TXMLNode& element = AppendElement(parent, name);
    SetElementText(element, text);
    return element;
}

void AppendProperty(TXMLNode& metadata, const QString& property, const QString& value)
{
    TXMLNode& meta = AppendTextElement(metadata, QStringLiteral("meta"), value);
    SetAttributeValue(meta, QStringLiteral("property"), property);
}

void AppendNamedMeta(TXMLNode& metadata, const QString& name, const QString& content)
{
    TXMLNode& meta = AppendElement(metadata, QStringLiteral("meta"));
    SetAttributeValue(meta, QStringLiteral("name"), name);
    SetAttributeValue(meta, QStringLiteral("content"), content);
}

// The series, as EPUB 3 gives it (a collection of the type "series", with the book's place in it) and as calibre and
// the libraries that follow it read it.
void AppendSeries(TXMLNode& metadata, const BookSettings& settings)
{
    TXMLNode& collection = AppendTextElement(metadata, QStringLiteral("meta"), settings.series);
    SetAttributeValue(collection, QStringLiteral("property"), QStringLiteral("belongs-to-collection"));
    SetAttributeValue(collection, QStringLiteral("id"), QStringLiteral("series"));
    TXMLNode& type = AppendTextElement(metadata, QStringLiteral("meta"), QStringLiteral("series"));
    SetAttributeValue(type, QStringLiteral("refines"), QStringLiteral("#series"));
    SetAttributeValue(type, QStringLiteral("property"), QStringLiteral("collection-type"));
    if (!settings.seriesNumber.isEmpty()) {
        TXMLNode& position = AppendTextElement(metadata, QStringLiteral("meta"), settings.seriesNumber);
        SetAttributeValue(position, QStringLiteral("refines"), QStringLiteral("#series"));
        SetAttributeValue(position, QStringLiteral("property"), QStringLiteral("group-position"));
    }
    AppendNamedMeta(metadata, QStringLiteral("calibre:series"), settings.series);
    if (!settings.seriesNumber.isEmpty()) {
        AppendNamedMeta(metadata, QStringLiteral("calibre:series_index"), settings.seriesNumber);
    }
}

void AppendMetadata(TXMLNode& root, const BookSettings& settings, const PictureNames& names, const QString& identifier,
                    const BookMoment& made)
{
    TXMLNode& metadata = AppendElement(root, QStringLiteral("metadata"));
    DeclareNamespacePrefix(metadata, QStringLiteral("dc"), kDublinCoreNamespace);

    SetAttributeValue(AppendTextElement(metadata, QStringLiteral("dc:identifier"), identifier), QStringLiteral("id"),
                      kBookIdentifierId);
    AppendTextElement(metadata, QStringLiteral("dc:title"), settings.title);
    SetAttributeValue(AppendTextElement(metadata, QStringLiteral("dc:creator"), settings.author), QStringLiteral("id"),
                      QStringLiteral("creator"));
    TXMLNode& role = AppendTextElement(metadata, QStringLiteral("meta"), QStringLiteral("aut"));
    SetAttributeValue(role, QStringLiteral("refines"), QStringLiteral("#creator"));
    SetAttributeValue(role, QStringLiteral("property"), QStringLiteral("role"));
    SetAttributeValue(role, QStringLiteral("scheme"), QStringLiteral("marc:relators"));
    AppendTextElement(metadata, QStringLiteral("dc:language"), BookLanguage(settings));
    AppendTextElement(metadata, QStringLiteral("dc:date"), made.localDay.toString(Qt::ISODate));
    AppendProperty(metadata, QStringLiteral("dcterms:modified"),
                   made.utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")));

    AppendProperty(metadata, QStringLiteral("rendition:layout"), QStringLiteral("pre-paginated"));
    AppendProperty(metadata, QStringLiteral("rendition:spread"), QStringLiteral("landscape"));
    AppendProperty(metadata, QStringLiteral("rendition:orientation"), QStringLiteral("auto"));
    // A book without a cover picture of its own has its first page's picture taken for one.
    if (!names.coverName.isEmpty() || !names.pageNames.isEmpty()) {
        AppendNamedMeta(metadata, QStringLiteral("cover"),
                        names.coverName.isEmpty() ? kFirstPagePictureId : QStringLiteral("cover-image"));
    }
    if (!settings.series.isEmpty()) {
        AppendSeries(metadata, settings);
    }
    // calibre, and readers that came before EPUB 3, know a fixed layout only by these.
    const bool leftToRight = settings.direction == ReadingDirection::LeftToRight;
    const QList<std::pair<QString, QString>> olderSignals = {
        {QStringLiteral("fixed-layout"), QStringLiteral("true")},
        {QStringLiteral("original-resolution"), MostCommonPageSize(names)},
        {QStringLiteral("book-type"), QStringLiteral("comic")},
        {QStringLiteral("primary-writing-mode"),
         leftToRight ? QStringLiteral("horizontal-lr") : QStringLiteral("horizontal-rl")},
        {QStringLiteral("orientation-lock"), QStringLiteral("none")},
        {QStringLiteral("zero-gutter"), QStringLiteral("true")},
        {QStringLiteral("zero-margin"), QStringLiteral("true")},
    };
    for (const auto& [name, content] : olderSignals) {
        AppendNamedMeta(metadata, name, content);
    }
}

void AppendManifest(TXMLNode& root, const PictureNames& names, const BookFormat& format, BookDocumentWriter& file)
{
    TXMLNode& manifest = AppendElement(root, QStringLiteral("manifest"));
    AppendManifestItem(manifest, QStringLiteral("nav"), kNavDocumentName, kXhtmlMediaType, QStringLiteral("nav"));
    AppendManifestItem(manifest, QStringLiteral("ncx"), kNcxDocumentName, QStringLiteral("application/x-dtbncx+xml"));
    if (!names.coverName.isEmpty()) {
        AppendManifestItem(manifest, QStringLiteral("cover"), format.CoverPageName(), kXhtmlMediaType);
        AppendManifestItem(manifest, QStringLiteral("cover-image"), UriPathSegment(names.coverName),
                           names.mediaTypes.value(names.coverName), QStringLiteral("cover-image"));
    }
    AppendPageAndPictureItems(manifest, names, format, file,
                              names.coverName.isEmpty() ? QStringLiteral("cover-image") : QString());
}

// The spine's "properties" for a page's place. The unprefixed forms of left and right are the ones every checker
// takes; the centre has only its prefixed form.
QString SpreadProperty(PageSpread spread)
{
    switch (spread) {
    case PageSpread::Left:
        return QStringLiteral("page-spread-left");
    case PageSpread::Right:
        return QStringLiteral("page-spread-right");
    case PageSpread::Center:
        break;
    }
    return QStringLiteral("rendition:page-spread-center");
}

void AppendSpine(TXMLNode& root, const BookSettings& settings, const PictureNames& names, BookDocumentWriter& file)
{
    TXMLNode& spine = AppendElement(root, QStringLiteral("spine"));
    SetAttributeValue(spine, QStringLiteral("toc"), QStringLiteral("ncx"));
    SetAttributeValue(spine, QStringLiteral("page-progression-direction"),
                      settings.direction == ReadingDirection::LeftToRight ? QStringLiteral("ltr")
                                                                          : QStringLiteral("rtl"));
    QList<QSize> sizes;
    for (const QString& picture : SpinePictures(names)) {
        sizes.append(names.displayedSizes.value(picture));
    }
    const QList<PageSpread> spreads = PageSpreads(sizes, settings.direction);
    const bool hasCover = !names.coverName.isEmpty();
    for (qsizetype index = 0; index < spreads.size(); ++index) {
        const qsizetype page = hasCover ? index : index + 1;
        TXMLNode& itemref = AppendElement(spine, QStringLiteral("itemref"));
        SetAttributeValue(itemref, QStringLiteral("idref"),
                          page == 0 ? QStringLiteral("cover") : QStringLiteral("page%1").arg(page));
        SetAttributeValue(itemref, QStringLiteral("properties"), SpreadProperty(spreads[index]));
        file.PageDone();
    }
}

}  // namespace

QString MostCommonPageSize(const PictureNames& names)
{
    QHash<QString, int> counts;
    QString mostCommon;
    int highest = 0;
    for (const QString& picture : SpinePictures(names)) {
        const QSize size = names.displayedSizes.value(picture);
        const QString text = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        const int count = ++counts[text];
        if (count > highest) {
            highest = count;
            mostCommon = text;
        }
    }
    return mostCommon;
}

void WriteFixedPackageDocument(QIODevice& out, const BookSettings& settings, const PictureNames& names,
                               const QString& identifier, const BookFormat& format, const BookMoment& made,
                               const PauseBetweenPages& pause)
{
    BookDocumentWriter file(out, kPackageDocumentName, pause);

    TXMLNode& root = AppendElementNS(file.Document().DocumentNode(), QStringLiteral("package"), kOpfNamespace);
    SetAttributeValueNS(root, QStringLiteral("version"), QString(), QStringLiteral("3.0"));
    SetAttributeValueNS(root, QStringLiteral("unique-identifier"), QString(), kBookIdentifierId);
    AppendMetadata(root, settings, names, identifier, made);
    AppendManifest(root, names, format, file);
    AppendSpine(root, settings, names, file);
    file.Finish();
}
