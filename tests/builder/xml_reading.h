#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

// Reads a written document back with Qt's XML reader, which also checks that it is well-formed.

// The text of the first element with this namespace and local name.
inline QString FirstElementText(const QByteArray& document, const QString& namespaceUri, const QString& localName)
{
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.namespaceUri() == namespaceUri
            && reader.name() == localName) {
            return reader.readElementText();
        }
    }
    ADD_FAILURE() << "no element " << localName.toStdString() << ": " << reader.errorString().toStdString();
    return {};
}

// An attribute of the first element with this local name.
inline QString FirstAttribute(const QByteArray& document, const QString& localName, const QString& attribute)
{
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == localName) {
            return reader.attributes().value(attribute).toString();
        }
    }
    ADD_FAILURE() << "no element " << localName.toStdString() << ": " << reader.errorString().toStdString();
    return {};
}

// Whether the whole document reads without an error.
inline bool IsWellFormed(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return !reader.hasError();
}
