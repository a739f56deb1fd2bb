#pragma once

#include "xml/xml_node.h"

#include <memory>

// Appends a node to a parent's children. With doNodeAutoIndent set in the parent's document,
// and unless the parent is the document node or the node is a text node, the node is
// surrounded by text nodes that hold the line breaks and indent strings of an indented file,
// so that writing needs no formatting pass. Returns the appended node.
TXMLNode& AppendChildIndented(TXMLNode& parent, std::unique_ptr<TXMLNode> node);
