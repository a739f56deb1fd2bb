#include "xml/xml_indentation.h"

#include "xml/xml_document.h"
#include "xml/xml_namespaces.h"

namespace {

void InsertFormattingText(TXMLNode& parent, int position, const QString& text)
{
    parent.InsertChild(position, std::make_unique<TXMLNode>(parent.OwnerDocument(), TXMLNodeKind::Text,
                                                            QStringLiteral("#text"), QString(), text));
}

}  // namespace

// With P at depth d and indent I, the children of P read: a line break and d-1 indents before
// the first child (so the first child starts a new line), then for each child one more
// indent, the child, and a line break with d-1 indents. The last of these puts P's end tag at
// the start of its own line, at P's own indentation.
TXMLNode& AppendChildIndented(TXMLNode& parent, std::unique_ptr<TXMLNode> node)
{
    const TXMLDocument& document = parent.OwnerDocument();
    const bool indent = document.Options().testFlag(doNodeAutoIndent) && parent.ParentNode() != nullptr
                        && node->Kind() != TXMLNodeKind::Text && node->Kind() != TXMLNodeKind::Attribute;
    if (!indent) {
        return parent.AppendChild(std::move(node));
    }

    // The node goes in first, so that a node the parent cannot take leaves the children as
    // they were; the formatting text before it is then put in front of it.
    const QString indentStr = document.NodeIndentStr();
    const QString lineEnd = kLineBreak + indentStr.repeated(parent.Depth() - 1);
    const int position = parent.ChildNodes().Count();
    TXMLNode& appended = parent.AppendChild(std::move(node));
    InsertFormattingText(parent, position, indentStr);
    if (position == 0) {
        InsertFormattingText(parent, position, lineEnd);
    }
    InsertFormattingText(parent, parent.ChildNodes().Count(), lineEnd);
    return appended;
}
