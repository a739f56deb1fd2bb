#pragma once

#include "xml/xml_document.h"
#include "xml/xml_node.h"

#include <QString>

// The building operations. Each node knows its document, whose Options and NodeIndentStr
// decide prefixes, declarations and indentation. Every failure raises XmlError.

// Appends an element in a namespace to an element or to the document node (then it is the
// root). A declaration of the URI in scope lends its prefix to an unprefixed name (with
// doAutoPrefix); with none in scope the new element declares the URI itself as its first
// attribute (with doNamespaceDecl), using the name's own prefix or none.
TXMLNode& AppendElementNS(TXMLNode& parent, const QString& name, const QString& namespaceUri);

// Appends an element that takes its namespace from the tree: a prefixed name the URI bound to
// its prefix above, an unprefixed name the parent's prefix and namespace. Declares nothing.
TXMLNode& AppendElement(TXMLNode& parent, const QString& name);

// Sets the attribute of that qualified name: replaced in place when present, else appended.
// The name is written as given; a prefix in it must be declared in scope by the caller.
void SetAttributeValue(TXMLNode& element, const QString& qualifiedName, const QString& value);

// Sets an attribute in a namespace. With doAutoPrefix an unprefixed name takes the prefix
// that the nearest declaration of the URI declares; a default declaration leaves it unprefixed.
void SetAttributeValueNS(TXMLNode& element, const QString& name, const QString& namespaceUri, const QString& value);

// Declares a prefix ("xmlns:prefix"), or the default namespace for an empty prefix ("xmlns").
void DeclareNamespacePrefix(TXMLNode& element, const QString& prefix, const QString& namespaceUri);

// Removes the first attribute whose qualified name is the name or, when none is, the first
// whose local name is; returns its position (counted from 0), or -1 when nothing matched.
int RemoveAttributeNamed(TXMLNode& element, const QString& name);

// Sets the text of an element that is empty or holds a single text node. An element with other
// children raises "Element does not contain a single text node".
void SetElementText(TXMLNode& element, const QString& text);
