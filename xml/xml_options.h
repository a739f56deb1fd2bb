#pragma once

#include <QFlags>

// The options of a document, in their historical order. Only doNodeAutoIndent, doAutoPrefix
// and doNamespaceDecl change what the building operations do; the other three are kept so
// that a document's option set reads the same as it always has.
enum TXMLDocOption : unsigned {
    doNodeAutoCreate = 0x01,
    doNodeAutoIndent = 0x02,  // surround every appended element with line-break and indent text nodes
    doAttrNull = 0x04,
    doAutoPrefix = 0x08,     // give unprefixed names the prefix declared for their namespace
    doNamespaceDecl = 0x10,  // declare the namespace of a new element when none is in scope
    doAutoSave = 0x20,
};
Q_DECLARE_FLAGS(TXMLDocOptions, TXMLDocOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TXMLDocOptions)

// The options of a new document: everything but indentation and saving on release.
inline constexpr TXMLDocOptions kDefaultXMLDocOptions = doNodeAutoCreate | doAttrNull | doAutoPrefix | doNamespaceDecl;
