#pragma once

#include "xml/xml_document.h"

#include <QByteArray>
#include <QIODevice>
#include <QSaveFile>
#include <QString>
#include <QXmlStreamWriter>

#include <vector>

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

// Writes a document to a device while it is still being built, so that a document of many repeated parts never
// stands whole in memory. Each Flush writes what the tree holds so far and releases it, except the elements of its
// last branch (the root, the root's last element child, that element's last element child, and so on), which may
// still grow: of those only the start tags are written. Finish writes the rest and raises XmlError, naming the
// document by `name`, when the serialiser or the device failed.
//
// The document is built in document order, and each element gets its attributes before anything is added below
// it: once its start tag is written, an element takes no further attribute.
class TXMLStreamWriter {
public:
    // `device` is open for writing and stays the caller's.
    TXMLStreamWriter(TXMLDocument& document, QIODevice& device, const QString& name);
    TXMLStreamWriter(const TXMLStreamWriter&) = delete;
    TXMLStreamWriter& operator=(const TXMLStreamWriter&) = delete;

    void Flush();
    void Finish();

private:
    void FlushChildren(TXMLNode& parent, std::size_t level);

    TXMLDocument& document_;
    QIODevice& device_;
    QString name_;
    QXmlStreamWriter writer_;
    // The elements whose start tags are written and whose end tags are not, from the root down.
    std::vector<const TXMLNode*> open_;
};
