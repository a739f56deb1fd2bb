#include "xml/xml_writer.h"

#include "xml/xml_error.h"

#include <QBuffer>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kUtf8 = QStringLiteral("UTF-8");

// The serialiser writes UTF-8 only; a declaration naming another encoding would make the
// file lie about its bytes.
void CheckWritable(const TXMLDocument& document)
{
    const QString encoding = document.Encoding();
    if (!encoding.isEmpty() && encoding.compare(kUtf8, Qt::CaseInsensitive) != 0) {
        throw XmlError(QStringLiteral("Cannot write the encoding %1; only UTF-8 is supported").arg(encoding));
    }
    if (document.RootElement() == nullptr) {
        throw XmlError(QStringLiteral("The document has no root element"));
    }
}

void WriteNode(QXmlStreamWriter& writer, const TXMLNode& node)
{
    switch (node.Kind()) {
    case TXMLNodeKind::Element:
        // Qualified names and namespace declarations go out as the tree holds them: the
        // serialiser is never told about namespaces, so it invents no declarations.
        writer.writeStartElement(node.NodeName());
        for (const TXMLNode& attribute : node.AttributeNodes()) {
            writer.writeAttribute(attribute.NodeName(), attribute.Value());
        }
        for (const TXMLNode& child : node.ChildNodes()) {
            WriteNode(writer, child);
        }
        writer.writeEndElement();
        break;
    case TXMLNodeKind::Text:
        writer.writeCharacters(node.Value());
        break;
    case TXMLNodeKind::ProcessingInstruction:
        if (node.Value().contains(QStringLiteral("?>"))) {
            throw XmlError(QStringLiteral("Processing instruction %1 holds \"?>\"").arg(node.NodeName()));
        }
        writer.writeProcessingInstruction(node.NodeName(), node.Value());
        break;
    case TXMLNodeKind::Document:
    case TXMLNodeKind::Attribute:
        break;
    }
}

// Returns false when the serialiser failed: the device refused bytes, or a text or value held
// a character that XML cannot represent (what it wrote is then unusable).
bool WriteDocument(const TXMLDocument& document, QIODevice& device)
{
    QXmlStreamWriter writer(&device);
    writer.setAutoFormatting(false);
    for (const TXMLNode& child : document.DocumentNode().ChildNodes()) {
        WriteNode(writer, child);
        writer.writeCharacters(kLineBreak);
    }
    return !writer.hasError();
}

}  // namespace

void WriteToFile(const TXMLDocument& document, const QString& path)
{
    CheckWritable(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw XmlError(QStringLiteral("Cannot create file %1: %2").arg(path, file.errorString()));
    }
    // Until commit() the bytes go to a temporary file beside the target; leaving this scope by
    // an error discards it.
    if (!WriteDocument(document, file)) {
        if (file.error() != QFileDevice::NoError) {
            throw XmlError(QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
        }
        throw XmlError(QStringLiteral("Cannot write file %1: the document holds a character that XML cannot represent")
                           .arg(path));
    }
    if (!file.commit()) {
        throw XmlError(QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
    }
}

QByteArray WriteToBytes(const TXMLDocument& document)
{
    CheckWritable(document);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WriteDocument(document, buffer)) {
        throw XmlError(QStringLiteral("The document holds a character that XML cannot represent"));
    }
    return bytes;
}
