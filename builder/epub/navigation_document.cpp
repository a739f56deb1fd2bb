#include "builder/epub/navigation_document.h"

#include "builder/epub/book_document.h"
#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"
#include "builder/workflow/book_settings.h"
#include "xml/xml_operations.h"

namespace {

// Every attribute of this document lies in no namespace.
void SetPlainAttribute(TXMLNode& element, const QString& name, const QString& value)
{
    SetAttributeValueNS(element, name, QString(), value);
}

// An element holding one "text" element with the given text.
void AppendTextHolder(TXMLNode& parent, const QString& name, const QString& text)
{
    TXMLNode& holder = AppendElement(parent, name);
    SetElementText(AppendElement(holder, QStringLiteral("text")), text);
}

void AppendHead(TXMLNode& root, const QString& identifier)
{
    const QList<std::pair<QString, QString>> entries = {
        {QStringLiteral("dtb:uid"), identifier},
        {QStringLiteral("dtb:depth"), QStringLiteral("1")},
        {QStringLiteral("dtb:totalPageCount"), QStringLiteral("0")},
        {QStringLiteral("dtb:maxPageNumber"), QStringLiteral("0")},
    };
    TXMLNode& head = AppendElement(root, QStringLiteral("head"));
    for (const auto& [name, content] : entries) {
        TXMLNode& meta = AppendElement(head, QStringLiteral("meta"));
        SetPlainAttribute(meta, QStringLiteral("name"), name);
        SetPlainAttribute(meta, QStringLiteral("content"), content);
    }
}

void AppendNavPoint(TXMLNode& navMap, const QString& id, int playOrder, const QString& label, const QString& source)
{
    TXMLNode& navPoint = AppendElement(navMap, QStringLiteral("navPoint"));
    SetPlainAttribute(navPoint, QStringLiteral("id"), id);
    SetPlainAttribute(navPoint, QStringLiteral("playOrder"), QString::number(playOrder));
    AppendTextHolder(navPoint, QStringLiteral("navLabel"), label);
    TXMLNode& content = AppendElement(navPoint, QStringLiteral("content"));
    SetPlainAttribute(content, QStringLiteral("src"), source);
}

void AppendNavMap(TXMLNode& root, int pageCount, const BookSettings& settings, const BookFormat& format,
                  BookDocumentWriter& file)
{
    const bool hasCover = !settings.coverPath.isEmpty();
    TXMLNode& navMap = AppendElement(root, QStringLiteral("navMap"));
    if (hasCover) {
        AppendNavPoint(navMap, QStringLiteral("cover"), 1, QStringLiteral("Cover"), format.CoverPageName());
    }
    const int offset = hasCover ? 1 : 0;
    for (int page = 1; page <= pageCount; ++page) {
        const QString name = QStringLiteral("page%1").arg(page);
        AppendNavPoint(navMap, name, page + offset, QStringLiteral("Page %1").arg(page), format.PageDocumentName(page));
        file.PageDone();
    }
}

}  // namespace

void WriteNavigationDocument(QIODevice& out, int pageCount, const BookSettings& settings, const QString& identifier,
                             const BookFormat& format, const PauseBetweenPages& pause)
{
    BookDocumentWriter file(out, kNcxDocumentName, pause);

    TXMLNode& root = AppendElementNS(file.Document().DocumentNode(), QStringLiteral("ncx"), kNcxNamespace);
    SetPlainAttribute(root, QStringLiteral("version"), QStringLiteral("2005-1"));
    SetPlainAttribute(root, QStringLiteral("xml:lang"), BookLanguage(settings));
    AppendHead(root, identifier);
    AppendTextHolder(root, QStringLiteral("docTitle"), settings.title);
    AppendTextHolder(root, QStringLiteral("docAuthor"), settings.author);
    AppendNavMap(root, pageCount, settings, format, file);
    file.Finish();
}
