#include "xml/xml_document.h"

#include <QStringList>

namespace {

const QString kDeclarationTarget = QStringLiteral("xml");
const QString kDefaultVersion = QStringLiteral("1.0");

QString Pseudoattribute(const QString& name, const QString& value)
{
    return name + QStringLiteral("=\"") + value + u'"';
}

}  // namespace

TXMLDocument::TXMLDocument()
    : documentNode_(std::make_unique<TXMLNode>(*this, TXMLNodeKind::Document, QStringLiteral("#document")))
{}

TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::SetVersion(const QString& version)
{
    version_ = version;
    UpdateDeclaration();
}

void TXMLDocument::SetEncoding(const QString& encoding)
{
    encoding_ = encoding;
    UpdateDeclaration();
}

void TXMLDocument::SetStandalone(const QString& standalone)
{
    standalone_ = standalone;
    UpdateDeclaration();
}

const TXMLNode* TXMLDocument::RootElement() const
{
    for (const TXMLNode& child : documentNode_->ChildNodes()) {
        if (child.IsElement()) {
            return &child;
        }
    }
    return nullptr;
}

// The declaration always holds all three values in the fixed order version, encoding,
// standalone, whatever order they were set in. A declaration needs a version, so an unset one
// is written as 1.0; the other two are left out while empty.
void TXMLDocument::UpdateDeclaration()
{
    QStringList parts{Pseudoattribute(QStringLiteral("version"), version_.isEmpty() ? kDefaultVersion : version_)};
    if (!encoding_.isEmpty()) {
        parts << Pseudoattribute(QStringLiteral("encoding"), encoding_);
    }
    if (!standalone_.isEmpty()) {
        parts << Pseudoattribute(QStringLiteral("standalone"), standalone_);
    }
    const QString data = parts.join(u' ');

    TXMLNodeList& children = documentNode_->ChildNodes();
    if (!children.IsEmpty() && children[0].Kind() == TXMLNodeKind::ProcessingInstruction
        && children[0].NodeName() == kDeclarationTarget) {
        children[0].SetValue(data);
        return;
    }
    documentNode_->InsertChild(
        0, std::make_unique<TXMLNode>(*this, TXMLNodeKind::ProcessingInstruction, kDeclarationTarget, QString(), data));
}
