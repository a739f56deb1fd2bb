#pragma once

#include "xml/xml_node.h"

#include <QString>

// Namespace lookups through the declarations the tree holds as attributes, from an element
// up through its ancestors, the nearest element first.

// The first namespace declaration ("xmlns" or "xmlns:p") whose value is the URI, letter case
// not considered; none when the URI is declared nowhere in scope.
const TXMLNode* FindNamespaceDeclaration(const TXMLNode& element, const QString& namespaceUri);

// The prefix a declaration found above declares: p for "xmlns:p", empty for "xmlns".
QString DeclaredPrefix(const TXMLNode& declaration);

// The URI bound to a prefix by the nearest "xmlns:prefix" declaration; empty when none. Default
// declarations ("xmlns") are not considered.
QString NamespaceUriOfPrefix(const TXMLNode& element, const QString& prefix);
