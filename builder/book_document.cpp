#include "builder/book_document.h"

#include "xml/xml_document.h"

void PrepareBookDocument(TXMLDocument& document)
{
    document.SetStandalone(QStringLiteral("yes"));
    document.SetVersion(QStringLiteral("1.0"));
    document.SetEncoding(QStringLiteral("UTF-8"));
    document.SetNodeIndentStr(QStringLiteral("\t"));
    document.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);
}
