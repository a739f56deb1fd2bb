#include "xml/xml_writer.h"

#include "xml/xml_error.h"
#include "xml/xml_namespaces.h"

#include <QBuffer>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

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

void WriteStartTag(QXmlStreamWriter& writer, const TXMLNode& element);

void WriteNode(QXmlStreamWriter& writer, const TXMLNode& node)
{
    switch (node.Kind()) {
    case TXMLNodeKind::Element:
        WriteStartTag(writer, node);
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

void WriteStartTag(QXmlStreamWriter& writer, const TXMLNode& element)
{
    // Qualified names and namespace declarations go out as the tree holds them: the serialiser is
    // never told about namespaces, so it invents no declarations.
    writer.writeStartElement(element.NodeName());
    for (const TXMLNode& attribute : element.AttributeNodes()) {
        writer.writeAttribute(attribute.NodeName(), attribute.Value());
    }
}

// A child of the document node stands on a line of its own.
void WriteChild(QXmlStreamWriter& writer, const TXMLNode& parent, const TXMLNode& child)
{
    WriteNode(writer, child);
    if (parent.Kind() == TXMLNodeKind::Document) {
        writer.writeCharacters(kLineBreak);
    }
}

// Writes what is left of the children of `parent`: `open`, from `level` on, lists the elements
// below it whose start tags are written already.
void WriteRest(QXmlStreamWriter& writer, const TXMLNode& parent, const std::vector<const TXMLNode*>& open,
               std::size_t level)
{
    for (const TXMLNode& child : parent.ChildNodes()) {
        if (level < open.size() && &child == open[level]) {
            WriteRest(writer, child, open, level + 1);
            writer.writeEndElement();
            if (parent.Kind() == TXMLNodeKind::Document) {
                writer.writeCharacters(kLineBreak);
            }
        } else {
            WriteChild(writer, parent, child);
        }
    }
}

// Raises a failure of the serialiser, or of the file that took the document `name`. A device of another kind reports
// its own failures to whoever gave it.
void CheckWritten(const QIODevice& device, const QXmlStreamWriter& writer, const QString& name)
{
    if (writer.hasError()) {
        const auto* file = qobject_cast<const QFileDevice*>(&device);
        if (file != nullptr && file->error() != QFileDevice::NoError) {
            throw XmlError(QStringLiteral("Cannot write file %1: %2").arg(name, device.errorString()));
        }
        throw XmlError(
            QStringLiteral("Cannot write file %1: the document holds a character that XML cannot represent").arg(name));
    }
}

// The file's content is complete: a failure of the serialiser or the device is raised, and the file
// takes its place.
void Commit(QSaveFile& file, const QXmlStreamWriter& writer, const QString& path)
{
    CheckWritten(file, writer, path);
    if (!file.commit()) {
        throw XmlError(QStringLiteral("Cannot write file %1: %2").arg(path, file.errorString()));
    }
}

void OpenForWriting(QSaveFile& file, const QString& path)
{
    if (!file.open(QIODevice::WriteOnly)) {
        throw XmlError(QStringLiteral("Cannot create file %1: %2").arg(path, file.errorString()));
    }
}

// The last element among the children of `parent`; none when it has no element child.
TXMLNode* LastElementChild(TXMLNode& parent)
{
    TXMLNodeList& children = parent.ChildNodes();
    for (int index = children.Count() - 1; index >= 0; --index) {
        if (children[index].IsElement()) {
            return &children[index];
        }
    }
    return nullptr;
}

}  // namespace

void WriteToFile(const TXMLDocument& document, const QString& path)
{
    CheckWritable(document);
    // Until commit() the bytes go to a temporary file beside the target; leaving this scope by
    // an error discards it.
    QSaveFile file(path);
    OpenForWriting(file, path);
    QXmlStreamWriter writer(&file);
    WriteRest(writer, document.DocumentNode(), {}, 0);
    Commit(file, writer, path);
}

QByteArray WriteToBytes(const TXMLDocument& document)
{
    CheckWritable(document);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    WriteRest(writer, document.DocumentNode(), {}, 0);
    if (writer.hasError()) {
        throw XmlError(QStringLiteral("The document holds a character that XML cannot represent"));
    }
    return bytes;
}

TXMLStreamWriter::TXMLStreamWriter(TXMLDocument& document, QIODevice& device, const QString& name)
    : document_(document),
      device_(device),
      name_(name),
      writer_(&device)
{}

void TXMLStreamWriter::Flush()
{
    CheckWritable(document_);
    FlushChildren(document_.DocumentNode(), 0);
}

void TXMLStreamWriter::Finish()
{
    CheckWritable(document_);
    WriteRest(writer_, document_.DocumentNode(), open_, 0);
    CheckWritten(device_, writer_, name_);
}

// Writes and releases the children of `parent` before the last branch, finishing the element that
// was open at this level if the branch has moved on; then opens the branch's element at this level
// and goes down into it.
void TXMLStreamWriter::FlushChildren(TXMLNode& parent, std::size_t level)
{
    TXMLNode* const last = LastElementChild(parent);
    int written = 0;
    for (const TXMLNode& child : parent.ChildNodes()) {
        if (&child == last) {
            break;
        }
        if (level < open_.size() && &child == open_[level]) {
            WriteRest(writer_, child, open_, level + 1);
            writer_.writeEndElement();
            open_.resize(level);
            if (parent.Kind() == TXMLNodeKind::Document) {
                writer_.writeCharacters(kLineBreak);
            }
        } else {
            WriteChild(writer_, parent, child);
        }
        ++written;
    }
    parent.RemoveFirstChildren(written);
    if (last == nullptr) {
        return;
    }
    if (level == open_.size()) {
        WriteStartTag(writer_, *last);
        open_.push_back(last);
    }
    FlushChildren(*last, level + 1);
}
