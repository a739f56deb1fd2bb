#include "builder/fixed/contents_document.h"

#include "builder/epub/book_document.h"
#include "builder/epub/book_namespaces.h"
#include "builder/epub/epub_names.h"
#include "builder/workflow/book_settings.h"
#include "xml/xml_operations.h"

namespace {

const QString kOpsNamespace = QStringLiteral("http://www.idpf.org/2007/ops");

TXMLNode& AppendTextElement(TXMLNode& parent, const QString& name, const QString& text)
{
    TXMLNode& element = AppendElement(parent, name);
    SetElementText(element, text);
    return element;
}

// A "nav" element of `type` with its list; the lists other than the table of contents are for the reader's use,
// not to be shown as a page.
TXMLNode& AppendNavList(TXMLNode& body, const QString& type, bool hidden)
{
    TXMLNode& nav = AppendElement(body, QStringLiteral("nav"));
    SetAttributeValue(nav, QStringLiteral("epub:type"), type);
    if (hidden) {
        SetAttributeValue(nav, QStringLiteral("hidden"), QStringLiteral("hidden"));
    }
    return AppendElement(nav, QStringLiteral("ol"));
}

TXMLNode& AppendLink(TXMLNode& list, const QString& href, const QString& label)
{
    TXMLNode& link = AppendTextElement(AppendElement(list, QStringLiteral("li")), QStringLiteral("a"), label);
    SetAttributeValue(link, QStringLiteral("href"), href);
    return link;
}

}  // namespace

void WriteContentsDocument(QIODevice& out, int pageCount, const BookSettings& settings, const BookFormat& format,
                           const PauseBetweenPages& pause)
{
    BookDocumentWriter file(out, kNavDocumentName, pause);
    const bool hasCover = !settings.coverPath.isEmpty();

    TXMLNode& root = AppendElementNS(file.Document().DocumentNode(), QStringLiteral("html"), kXhtmlNamespace);
    DeclareNamespacePrefix(root, QStringLiteral("epub"), kOpsNamespace);
    SetAttributeValue(root, QStringLiteral("xml:lang"), BookLanguage(settings));
    SetAttributeValue(root, QStringLiteral("lang"), BookLanguage(settings));
    TXMLNode& head = AppendElement(root, QStringLiteral("head"));
    AppendTextElement(head, QStringLiteral("title"), settings.title);
    TXMLNode& body = AppendElement(root, QStringLiteral("body"));

    TXMLNode& contents = AppendNavList(body, QStringLiteral("toc"), false);
    if (hasCover) {
        AppendLink(contents, format.CoverPageName(), QStringLiteral("Cover"));
    }
    for (int page = 1; page <= pageCount; ++page) {
        AppendLink(contents, format.PageDocumentName(page), QStringLiteral("Page %1").arg(page));
        file.PageDone();
    }
    TXMLNode& pages = AppendNavList(body, QStringLiteral("page-list"), true);
    for (int page = 1; page <= pageCount; ++page) {
        AppendLink(pages, format.PageDocumentName(page), QString::number(page));
        file.PageDone();
    }
    TXMLNode& landmarks = AppendNavList(body, QStringLiteral("landmarks"), true);
    if (hasCover) {
        SetAttributeValue(AppendLink(landmarks, format.CoverPageName(), QStringLiteral("Cover")),
                          QStringLiteral("epub:type"), QStringLiteral("cover"));
    }
    if (pageCount > 0) {
        SetAttributeValue(AppendLink(landmarks, format.PageDocumentName(1), QStringLiteral("Pages")),
                          QStringLiteral("epub:type"), QStringLiteral("bodymatter"));
    }
    file.Finish();
}
