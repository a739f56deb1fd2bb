#include "xml/xml_node.h"

#include "xml/xml_error.h"
#include "xml/xml_names.h"

TXMLNode::TXMLNode(TXMLDocument& owner, TXMLNodeKind kind, const QString& name, const QString& namespaceUri,
                   const QString& value)
    : document_(&owner),
      kind_(kind),
      name_(name),
      namespaceUri_(namespaceUri),
      value_(value)
{}

TXMLNode::~TXMLNode() = default;

QString TXMLNode::Prefix() const
{
    return PrefixOf(name_);
}

QString TXMLNode::LocalName() const
{
    return LocalNameOf(name_);
}

int TXMLNode::Depth() const
{
    int depth = 0;
    for (const TXMLNode* ancestor = parent_; ancestor != nullptr; ancestor = ancestor->parent_) {
        ++depth;
    }
    return depth;
}

// Checks that a node may be added to this one; the kinds of the children are the caller's.
void TXMLNode::Adopt(const TXMLNode& node) const
{
    if (node.document_ != document_) {
        throw XmlError(QStringLiteral("Node %1 belongs to another document").arg(node.name_));
    }
    if (node.parent_ != nullptr) {
        throw XmlError(QStringLiteral("Node %1 is already in the tree").arg(node.name_));
    }
    if (kind_ != TXMLNodeKind::Document && kind_ != TXMLNodeKind::Element) {
        throw XmlError(QStringLiteral("Node %1 cannot hold other nodes").arg(name_));
    }
}

TXMLNode& TXMLNode::InsertChild(int index, std::unique_ptr<TXMLNode> node)
{
    Adopt(*node);
    if (node->kind_ == TXMLNodeKind::Attribute || node->kind_ == TXMLNodeKind::Document) {
        throw XmlError(QStringLiteral("Node %1 cannot be a child").arg(node->name_));
    }
    if (index < 0 || index > children_.Count()) {
        throw XmlError(QStringLiteral("Child position %1 is out of range").arg(index));
    }
    node->parent_ = this;
    auto& nodes = children_.nodes_;
    return **nodes.insert(nodes.begin() + index, std::move(node));
}

TXMLNode& TXMLNode::AppendChild(std::unique_ptr<TXMLNode> node)
{
    return InsertChild(children_.Count(), std::move(node));
}

TXMLNode& TXMLNode::AppendAttribute(std::unique_ptr<TXMLNode> attribute)
{
    Adopt(*attribute);
    if (kind_ != TXMLNodeKind::Element || attribute->kind_ != TXMLNodeKind::Attribute) {
        throw XmlError(QStringLiteral("Node %1 cannot be an attribute of %2").arg(attribute->name_, name_));
    }
    attribute->parent_ = this;
    return *attributes_.nodes_.emplace_back(std::move(attribute));
}

void TXMLNode::RemoveFirstChildren(int count)
{
    auto& nodes = children_.nodes_;
    if (count < 0 || count > children_.Count()) {
        throw XmlError(QStringLiteral("Child count %1 is out of range").arg(count));
    }
    nodes.erase(nodes.begin(), nodes.begin() + count);
}

void TXMLNode::RemoveAttributeAt(int index)
{
    auto& nodes = attributes_.nodes_;
    if (index < 0 || index >= attributes_.Count()) {
        throw XmlError(QStringLiteral("Attribute position %1 is out of range").arg(index));
    }
    nodes.erase(nodes.begin() + index);
}

int TXMLNode::IndexOfAttribute(const QString& qualifiedName) const
{
    for (int i = 0; i < attributes_.Count(); ++i) {
        if (attributes_[i].name_ == qualifiedName) {
            return i;
        }
    }
    return -1;
}
