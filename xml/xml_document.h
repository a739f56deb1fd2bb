#pragma once

#include "xml/xml_node.h"
#include "xml/xml_options.h"

#include <QString>

#include <memory>

// One XML document built in memory: the declaration values, the indentation settings and the
// tree below DocumentNode(). The document owns every node; releasing it releases them all.
// Nodes refer back to their document, so a document is neither copied nor moved.
class TXMLDocument {
public:
    TXMLDocument();
    ~TXMLDocument();
    TXMLDocument(const TXMLDocument&) = delete;
    TXMLDocument& operator=(const TXMLDocument&) = delete;

    // The declaration's values, each empty until set. Setting any of them puts the declaration
    // <?xml ...?> first in the document, or rewrites it in place, from all three values.
    QString Encoding() const { return encoding_; }
    void SetVersion(const QString& version);
    void SetEncoding(const QString& encoding);
    void SetStandalone(const QString& standalone);

    // The text inserted once per level of automatic indentation; two spaces in a new document.
    QString NodeIndentStr() const { return nodeIndentStr_; }
    void SetNodeIndentStr(const QString& indent) { nodeIndentStr_ = indent; }

    TXMLDocOptions Options() const { return options_; }
    void SetOptions(TXMLDocOptions options) { options_ = options; }

    // The top of the tree: the declaration and the root element are its children.
    TXMLNode& DocumentNode() { return *documentNode_; }
    const TXMLNode& DocumentNode() const { return *documentNode_; }

    // The root element, or none before one is added.
    const TXMLNode* RootElement() const;

private:
    void UpdateDeclaration();

    QString version_;
    QString encoding_;
    QString standalone_;
    QString nodeIndentStr_ = QStringLiteral("  ");
    TXMLDocOptions options_ = kDefaultXMLDocOptions;
    std::unique_ptr<TXMLNode> documentNode_;
};
