#pragma once

#include <QString>

// The name of a default namespace declaration, and the prefix of every other one ("xmlns:dc").
inline const QString kXmlnsName = QStringLiteral("xmlns");

// Every line of a written document ends in CR LF.
inline const QString kLineBreak = QStringLiteral("\r\n");

// The namespace that every "xmlns" and "xmlns:prefix" attribute lies in.
inline const QString kXmlnsNamespace = QStringLiteral("http://www.w3.org/2000/xmlns/");

// The namespace bound to the reserved prefix "xml" (as in "xml:lang").
inline const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");
