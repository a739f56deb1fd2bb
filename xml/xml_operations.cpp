#include "xml/xml_operations.h"

#include "xml/xml_error.h"
#include "xml/xml_indentation.h"
#include "xml/xml_names.h"
#include "xml/xml_namespace_lookup.h"
#include "xml/xml_namespaces.h"

#include <memory>

namespace {

void RequireElement(const TXMLNode& node)
{
    if (!node.IsElement()) {
        throw XmlError(QStringLiteral("Node %1 is not an element").arg(node.NodeName()));
    }
}

// An element goes under an element, or under the document node as its only root element.
void RequireElementParent(const TXMLNode& parent)
{
    if (parent.Kind() == TXMLNodeKind::Document) {
        if (parent.OwnerDocument().RootElement() != nullptr) {
            throw XmlError(QStringLiteral("The document already has a root element"));
        }
        return;
    }
    RequireElement(parent);
}

void RequireValidName(const QString& qualifiedName)
{
    if (!IsValidQualifiedName(qualifiedName)) {
        throw XmlError(QStringLiteral("Invalid XML name \"%1\"").arg(qualifiedName));
    }
}

TXMLNode& CreateAndAppendElement(TXMLNode& parent, const QString& name, const QString& namespaceUri)
{
    RequireValidName(name);
    return AppendChildIndented(
        parent, std::make_unique<TXMLNode>(parent.OwnerDocument(), TXMLNodeKind::Element, name, namespaceUri));
}

// An existing attribute of that name keeps its place in the list; a new one goes last.
void SetAttributeNode(TXMLNode& element, const QString& qualifiedName, const QString& namespaceUri,
                      const QString& value)
{
    RequireElement(element);
    RequireValidName(qualifiedName);
    const int index = element.IndexOfAttribute(qualifiedName);
    if (index >= 0) {
        element.AttributeNodes()[index].SetValue(value);
        return;
    }
    element.AppendAttribute(std::make_unique<TXMLNode>(element.OwnerDocument(), TXMLNodeKind::Attribute, qualifiedName,
                                                       namespaceUri, value));
}

bool AutoPrefix(const TXMLNode& node)
{
    return node.OwnerDocument().Options().testFlag(doAutoPrefix);
}

}  // namespace

TXMLNode& AppendElementNS(TXMLNode& parent, const QString& name, const QString& namespaceUri)
{
    RequireElementParent(parent);
    const TXMLNode* declaration = FindNamespaceDeclaration(parent, namespaceUri);
    QString elementName = name;
    if (declaration != nullptr && AutoPrefix(parent) && !IsPrefixed(name)) {
        elementName = JoinQualifiedName(DeclaredPrefix(*declaration), name);
    }

    TXMLNode& element = CreateAndAppendElement(parent, elementName, namespaceUri);
    if (declaration == nullptr && !namespaceUri.isEmpty()
        && parent.OwnerDocument().Options().testFlag(doNamespaceDecl)) {
        DeclareNamespacePrefix(element, PrefixOf(name), namespaceUri);
    }
    return element;
}

TXMLNode& AppendElement(TXMLNode& parent, const QString& name)
{
    RequireElementParent(parent);
    if (IsPrefixed(name)) {
        return CreateAndAppendElement(parent, name, NamespaceUriOfPrefix(parent, PrefixOf(name)));
    }
    return CreateAndAppendElement(parent, JoinQualifiedName(parent.Prefix(), name), parent.NamespaceURI());
}

void SetAttributeValue(TXMLNode& element, const QString& qualifiedName, const QString& value)
{
    SetAttributeNode(element, qualifiedName, QString(), value);
}

void SetAttributeValueNS(TXMLNode& element, const QString& name, const QString& namespaceUri, const QString& value)
{
    RequireElement(element);
    QString attributeName = name;
    if (!namespaceUri.isEmpty() && AutoPrefix(element) && !IsPrefixed(name)) {
        if (const TXMLNode* declaration = FindNamespaceDeclaration(element, namespaceUri)) {
            attributeName = JoinQualifiedName(DeclaredPrefix(*declaration), name);
        }
    }
    SetAttributeNode(element, attributeName, namespaceUri, value);
}

void DeclareNamespacePrefix(TXMLNode& element, const QString& prefix, const QString& namespaceUri)
{
    SetAttributeValueNS(element, prefix.isEmpty() ? kXmlnsName : JoinQualifiedName(kXmlnsName, prefix), kXmlnsNamespace,
                        namespaceUri);
}

int RemoveAttributeNamed(TXMLNode& element, const QString& name)
{
    RequireElement(element);
    const TXMLNodeList& attributes = element.AttributeNodes();
    int index = element.IndexOfAttribute(name);
    for (int i = 0; index < 0 && i < attributes.Count(); ++i) {
        if (attributes[i].LocalName() == name) {
            index = i;
        }
    }
    if (index >= 0) {
        element.RemoveAttributeAt(index);
    }
    return index;
}

void SetElementText(TXMLNode& element, const QString& text)
{
    RequireElement(element);
    TXMLNodeList& children = element.ChildNodes();
    if (children.IsEmpty()) {
        // Text nodes never get formatting, so start tag, text and end tag stay on one line.
        element.AppendChild(std::make_unique<TXMLNode>(element.OwnerDocument(), TXMLNodeKind::Text,
                                                       QStringLiteral("#text"), QString(), text));
        return;
    }
    if (children.Count() != 1 || !children[0].IsText()) {
        throw XmlError(QStringLiteral("Element does not contain a single text node"));
    }
    children[0].SetValue(text);
}
