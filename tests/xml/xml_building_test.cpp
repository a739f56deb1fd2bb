#include "xml/xml_document.h"
#include "xml/xml_error.h"
#include "xml/xml_operations.h"
#include "xml/xml_writer.h"

#include <gtest/gtest.h>

namespace {

const QString kOpf = QStringLiteral("http://www.idpf.org/2007/opf");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kOther = QStringLiteral("urn:other");

QStringList AttributeNames(const TXMLNode& element)
{
    QStringList names;
    for (const TXMLNode& attribute : element.AttributeNodes()) {
        names << attribute.NodeName();
    }
    return names;
}

// A document with a TAB indent and automatic indentation, as the book documents use it.
void UseTabIndent(TXMLDocument& document)
{
    document.SetNodeIndentStr("\t");
    document.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);
}

}  // namespace

TEST(XmlDocumentTest, DeclarationKeepsItsOrderAndPlaceWhateverOrderValuesAreSet)
{
    TXMLDocument document;
    document.SetStandalone("yes");
    // Until a version is set the declaration still needs one.
    EXPECT_EQ(document.DocumentNode().ChildNodes()[0].Value(), "version=\"1.0\" standalone=\"yes\"");

    AppendElement(document.DocumentNode(), "root");
    document.SetVersion("1.0");
    document.SetEncoding("UTF-8");
    EXPECT_EQ(document.DocumentNode().ChildNodes().Count(), 2);
    EXPECT_EQ(WriteToBytes(document),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<root/>\r\n"));
}

TEST(XmlNamespaceTest, AppendElementNSDeclaresOnlyWhatIsNotInScope)
{
    TXMLDocument document;
    UseTabIndent(document);
    TXMLNode& root = AppendElementNS(document.DocumentNode(), "package", kOpf);
    // The root declares its namespace, and no formatting text goes to the document level.
    EXPECT_EQ(AttributeNames(root), QStringList{"xmlns"});
    EXPECT_EQ(root.AttributeNodes()[0].Value(), kOpf);
    EXPECT_EQ(document.DocumentNode().ChildNodes().Count(), 1);

    // The parent declares the URI as its default namespace (letter case aside): nothing added.
    TXMLNode& metadata = AppendElementNS(root, "metadata", kOpf.toUpper());
    EXPECT_EQ(metadata.NodeName(), "metadata");
    EXPECT_TRUE(metadata.AttributeNodes().IsEmpty());

    EXPECT_EQ(AttributeNames(AppendElementNS(root, "x", kOther)), QStringList{"xmlns"});
    EXPECT_EQ(AttributeNames(AppendElementNS(root, "o:y", kOther)), QStringList{"xmlns:o"});

    // A URI declared above with a prefix lends the prefix to an unprefixed name.
    DeclareNamespacePrefix(metadata, "dc", kDc);
    TXMLNode& title = AppendElementNS(metadata, "title", kDc);
    EXPECT_EQ(title.NodeName(), "dc:title");
    EXPECT_TRUE(title.AttributeNodes().IsEmpty());

    document.SetOptions(kDefaultXMLDocOptions & ~TXMLDocOptions(doNamespaceDecl));
    EXPECT_TRUE(AppendElementNS(root, "z", "urn:z").AttributeNodes().IsEmpty());
}

TEST(XmlNamespaceTest, AppendElementTakesItsNamespaceFromTheTree)
{
    TXMLDocument document;
    TXMLNode& root = AppendElementNS(document.DocumentNode(), "package", kOpf);
    TXMLNode& metadata = AppendElement(root, "metadata");
    DeclareNamespacePrefix(metadata, "dc", kDc);

    TXMLNode& title = AppendElement(metadata, "dc:title");
    EXPECT_EQ(title.NamespaceURI(), kDc);
    EXPECT_TRUE(title.AttributeNodes().IsEmpty());
    EXPECT_EQ(AppendElement(metadata, "meta").NamespaceURI(), kOpf);
    // Under a prefixed parent an unprefixed name takes the parent's prefix as well.
    EXPECT_EQ(AppendElement(title, "part").NodeName(), "dc:part");
}

TEST(XmlAttributeTest, SetAttributeKeepsPositionAndNamespaceVersionTakesDeclaredPrefix)
{
    TXMLDocument document;
    TXMLNode& root = AppendElementNS(document.DocumentNode(), "package", kOpf);
    SetAttributeValue(root, "a", "1");
    SetAttributeValue(root, "b", "2");
    SetAttributeValue(root, "a", "3");
    // The default declaration on the root is found first: "c" stays unprefixed.
    SetAttributeValueNS(root, "c", kOpf, "4");
    EXPECT_EQ(AttributeNames(root), (QStringList{"xmlns", "a", "b", "c"}));
    EXPECT_EQ(root.AttributeNodes()[1].Value(), "3");

    TXMLNode& metadata = AppendElement(root, "metadata");
    DeclareNamespacePrefix(metadata, "opf", kOpf);
    TXMLNode& creator = AppendElement(metadata, "creator");
    SetAttributeValueNS(creator, "role", kOpf, "aut");
    EXPECT_EQ(AttributeNames(creator), QStringList{"opf:role"});
}

TEST(XmlAttributeTest, RemoveAttributeNamedPrefersTheQualifiedName)
{
    TXMLDocument document;
    TXMLNode& metadata = AppendElementNS(document.DocumentNode(), "metadata", kOpf);
    DeclareNamespacePrefix(metadata, "dc", kDc);
    DeclareNamespacePrefix(metadata, "opf", kOpf);

    EXPECT_EQ(RemoveAttributeNamed(metadata, "nothing"), -1);
    EXPECT_EQ(RemoveAttributeNamed(metadata, "xmlns"), 0);
    // With the default declaration gone "xmlns" matches nothing: it never takes "xmlns:dc".
    EXPECT_EQ(RemoveAttributeNamed(metadata, "xmlns"), -1);
    EXPECT_EQ(AttributeNames(metadata), (QStringList{"xmlns:dc", "xmlns:opf"}));

    SetAttributeValue(metadata, "opf:role", "aut");
    SetAttributeValue(metadata, "role", "x");
    EXPECT_EQ(RemoveAttributeNamed(metadata, "role"), 3);
    EXPECT_EQ(RemoveAttributeNamed(metadata, "role"), 2);
}

TEST(XmlTextTest, SetElementTextFillsOrReplacesTheOnlyTextNode)
{
    TXMLDocument document;
    UseTabIndent(document);
    TXMLNode& root = AppendElement(document.DocumentNode(), "root");
    SetElementText(AppendElement(root, "empty"), "");
    TXMLNode& twice = AppendElement(root, "twice");
    SetElementText(twice, "first");
    SetElementText(twice, "second");
    EXPECT_EQ(WriteToBytes(document),
              QByteArray("<root>\r\n\t<empty></empty>\r\n\t<twice>second</twice>\r\n</root>\r\n"));

    try {
        SetElementText(root, "x");
        FAIL() << "an element with element children took a text";
    } catch (const XmlError& error) {
        EXPECT_STREQ(error.what(), "Element does not contain a single text node");
    }
    EXPECT_EQ(root.ChildNodes().Count(), 7);  // unchanged
}

TEST(XmlIndentationTest, ChildrenOfADepthTwoElementAreIndentedByTwoTabs)
{
    TXMLDocument document;
    UseTabIndent(document);
    TXMLNode& root = AppendElement(document.DocumentNode(), "r");
    TXMLNode& level2 = AppendElement(root, "a");
    AppendElement(level2, "b");
    AppendElement(level2, "c");
    AppendElement(root, "d");
    EXPECT_EQ(WriteToBytes(document),
              QByteArray("<r>\r\n\t<a>\r\n\t\t<b/>\r\n\t\t<c/>\r\n\t</a>\r\n\t<d/>\r\n</r>\r\n"));

    TXMLDocument twoSpaces;  // the indent of a new document
    twoSpaces.SetOptions(twoSpaces.Options() | doNodeAutoIndent);
    AppendElement(AppendElement(AppendElement(twoSpaces.DocumentNode(), "r"), "a"), "b");
    EXPECT_EQ(WriteToBytes(twoSpaces), QByteArray("<r>\r\n  <a>\r\n    <b/>\r\n  </a>\r\n</r>\r\n"));

    TXMLDocument flat;  // indentation is off by default
    AppendElement(AppendElement(AppendElement(flat.DocumentNode(), "r"), "a"), "b");
    EXPECT_EQ(WriteToBytes(flat), QByteArray("<r><a><b/></a></r>\r\n"));
}

TEST(XmlMisuseTest, TreeThatCouldNotBeWrittenIsRefused)
{
    TXMLDocument document;
    TXMLNode& root = AppendElement(document.DocumentNode(), "root");
    EXPECT_THROW(AppendElement(document.DocumentNode(), "second"), XmlError);
    EXPECT_THROW(AppendElement(root, "a b"), XmlError);
    EXPECT_THROW(AppendElement(root, "a:b:c"), XmlError);
    EXPECT_THROW(SetAttributeValue(root, "1st", "x"), XmlError);
    EXPECT_THROW(SetElementText(document.DocumentNode(), "x"), XmlError);
    EXPECT_TRUE(root.ChildNodes().IsEmpty());
    EXPECT_TRUE(root.AttributeNodes().IsEmpty());

    TXMLDocument empty;
    EXPECT_THROW(WriteToBytes(empty), XmlError);
}
