#pragma once

#include "xml/xml_document.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Writing a document as UTF-8 XML: the declaration, CR LF, the root element with its subtree,
// CR LF. Inside the root only the tree's own text nodes stand between tags. An element without
// children is written as <a/>, one that holds any text node (even an empty one) with a start
// and an end tag; attribute values are in double quotes; no byte order mark.
//
// A document whose declaration names an encoding other than UTF-8, that has no root element,
// or that holds a character XML cannot represent raises XmlError.

// Creates or replaces the file at the path. The file is replaced only once the whole document
// is written, so a failure leaves any earlier file as it was and creates nothing new.
void WriteToFile(const TXMLDocument& document, const QString& path);

// The bytes WriteToFile would put in the file.
QByteArray WriteToBytes(const TXMLDocument& document);
