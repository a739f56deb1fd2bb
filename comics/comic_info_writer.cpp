#include "comics/comic_info_writer.h"

#include "xml/xml_document.h"
#include "xml/xml_operations.h"
#include "xml/xml_writer.h"

namespace {

void AppendText(TXMLNode& parent, const QString& name, const QString& text)
{
    if (!text.isEmpty()) {
        SetElementText(AppendElement(parent, name), text);
    }
}

void AppendPages(TXMLNode& root, const ComicInfoToWrite& book)
{
    TXMLNode& pages = AppendElement(root, QStringLiteral("Pages"));
    for (int image = 0; image < book.pageSizes.size(); ++image) {
        TXMLNode& page = AppendElement(pages, QStringLiteral("Page"));
        SetAttributeValue(page, QStringLiteral("Image"), QString::number(image));
        if (book.frontCover == image) {
            SetAttributeValue(page, QStringLiteral("Type"), QStringLiteral("FrontCover"));
        }
        SetAttributeValue(page, QStringLiteral("ImageWidth"), QString::number(book.pageSizes[image].width()));
        SetAttributeValue(page, QStringLiteral("ImageHeight"), QString::number(book.pageSizes[image].height()));
    }
}

}  // namespace

QByteArray WriteComicInfo(const ComicInfoToWrite& book)
{
    TXMLDocument document;
    document.SetVersion(QStringLiteral("1.0"));
    document.SetEncoding(QStringLiteral("UTF-8"));
    document.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);

    TXMLNode& root = AppendElementNS(document.DocumentNode(), QStringLiteral("ComicInfo"), QString());
    AppendText(root, QStringLiteral("Title"), book.title);
    AppendText(root, QStringLiteral("Series"), book.series);
    AppendText(root, QStringLiteral("Number"), book.number);
    AppendText(root, QStringLiteral("Writer"), book.writer);
    AppendText(root, QStringLiteral("PageCount"), QString::number(book.pageSizes.size()));
    AppendText(root, QStringLiteral("LanguageISO"), book.language);
    AppendText(root, QStringLiteral("Manga"),
               book.readingDirection == ReadingDirection::RightToLeft ? QStringLiteral("YesAndRightToLeft")
                                                                      : QStringLiteral("No"));
    AppendPages(root, book);
    return WriteToBytes(document);
}
