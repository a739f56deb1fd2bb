#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

class TXMLDocument;
class TXMLNode;

enum class TXMLNodeKind { Document, Element, Attribute, Text, ProcessingInstruction };

// An ordered list of nodes that owns them. Callers read it by position or with a range-for;
// only TXMLNode changes it.
class TXMLNodeList {
public:
    template <typename Node, typename Base>
    class Iterator {
    public:
        using value_type = TXMLNode;
        using difference_type = std::ptrdiff_t;

        Iterator() = default;
        explicit Iterator(Base position) : position_(position) {}
        Node& operator*() const { return **position_; }
        Node* operator->() const { return position_->get(); }
        Iterator& operator++()
        {
            ++position_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++position_;
            return before;
        }
        bool operator==(const Iterator& other) const = default;

    private:
        Base position_{};
    };
    using iterator = Iterator<TXMLNode, std::vector<std::unique_ptr<TXMLNode>>::const_iterator>;
    using const_iterator = Iterator<const TXMLNode, std::vector<std::unique_ptr<TXMLNode>>::const_iterator>;

    int Count() const { return static_cast<int>(nodes_.size()); }
    bool IsEmpty() const { return nodes_.empty(); }

    TXMLNode& operator[](int index) { return *nodes_.at(static_cast<std::size_t>(index)); }
    const TXMLNode& operator[](int index) const { return *nodes_.at(static_cast<std::size_t>(index)); }

    iterator begin() { return iterator(nodes_.cbegin()); }
    iterator end() { return iterator(nodes_.cend()); }
    const_iterator begin() const { return const_iterator(nodes_.cbegin()); }
    const_iterator end() const { return const_iterator(nodes_.cend()); }

private:
    friend class TXMLNode;
    std::vector<std::unique_ptr<TXMLNode>> nodes_;
};

// One node of a document: the document node, an element, an attribute, a text node or a
// processing instruction. A node always belongs to one document; once added to the tree it is
// owned by its parent, and callers hold references to it only while they build.
class TXMLNode {
public:
    // A node of the given document that is not yet in the tree. For elements and attributes the
    // name is the qualified name; a processing instruction's name is its target; the document
    // node and text nodes are named "#document" and "#text".
    TXMLNode(TXMLDocument& owner, TXMLNodeKind kind, const QString& name, const QString& namespaceUri = {},
             const QString& value = {});
    ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;

    TXMLNodeKind Kind() const { return kind_; }
    bool IsElement() const { return kind_ == TXMLNodeKind::Element; }
    bool IsText() const { return kind_ == TXMLNodeKind::Text; }

    const QString& NodeName() const { return name_; }
    QString Prefix() const;
    QString LocalName() const;
    const QString& NamespaceURI() const { return namespaceUri_; }

    // The text of a text node, the value of an attribute, the data of a processing instruction.
    const QString& Value() const { return value_; }
    void SetValue(const QString& value) { value_ = value; }

    // The node this one was added to: for an attribute the element that holds it; none for
    // the document node and for a node not yet in the tree.
    TXMLNode* ParentNode() { return parent_; }
    const TXMLNode* ParentNode() const { return parent_; }

    TXMLNodeList& ChildNodes() { return children_; }
    const TXMLNodeList& ChildNodes() const { return children_; }
    TXMLNodeList& AttributeNodes() { return attributes_; }
    const TXMLNodeList& AttributeNodes() const { return attributes_; }

    // The number of ancestors: 0 for the document node, 1 for the root element.
    int Depth() const;

    TXMLDocument& OwnerDocument() { return *document_; }
    const TXMLDocument& OwnerDocument() const { return *document_; }

    // Plain tree changes, without any of the indentation or namespace work of the building
    // operations. Each returns the added node. A node of another document, a node that is
    // already in a tree, or an attribute among children (or the reverse) raises XmlError.
    TXMLNode& InsertChild(int index, std::unique_ptr<TXMLNode> node);
    TXMLNode& AppendChild(std::unique_ptr<TXMLNode> node);
    TXMLNode& AppendAttribute(std::unique_ptr<TXMLNode> attribute);
    void RemoveAttributeAt(int index);
    // Releases the first `count` children.
    void RemoveFirstChildren(int count);

    // The position of the attribute with this qualified name, or -1.
    int IndexOfAttribute(const QString& qualifiedName) const;

private:
    void Adopt(const TXMLNode& node) const;

    TXMLDocument* document_;
    TXMLNodeKind kind_;
    QString name_;
    QString namespaceUri_;
    QString value_;
    TXMLNode* parent_ = nullptr;
    TXMLNodeList children_;
    TXMLNodeList attributes_;
};
