#pragma once

#include <QString>

// Pieces of qualified names. The prefix is the part before the first ":"; a name without a
// ":" has an empty prefix and is its own local name.

bool IsPrefixed(const QString& qualifiedName);
QString PrefixOf(const QString& qualifiedName);
QString LocalNameOf(const QString& qualifiedName);

// prefix + ":" + localName, or localName alone for an empty prefix.
QString JoinQualifiedName(const QString& prefix, const QString& localName);

// True for a name that can stand as an element or attribute name in a namespace-aware XML
// file: an XML Name with at most one ":", which neither starts nor ends the name.
bool IsValidQualifiedName(const QString& qualifiedName);

// True for a namespace declaration: the attribute "xmlns" or any "xmlns:prefix".
bool IsNamespaceDeclarationName(const QString& qualifiedName);
