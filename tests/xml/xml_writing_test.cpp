#include "xml/xml_document.h"
#include "xml/xml_error.h"
#include "xml/xml_operations.h"
#include "xml/xml_writer.h"

#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

namespace {

const QString kOpf = QStringLiteral("http://www.idpf.org/2007/opf");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");

// A small document with one element holding the given text and attribute value.
void BuildTextDocument(TXMLDocument& document, const QString& text, const QString& attributeValue)
{
    document.SetVersion("1.0");
    document.SetEncoding("UTF-8");
    TXMLNode& root = AppendElement(document.DocumentNode(), "t");
    SetAttributeValue(root, "a", attributeValue);
    SetElementText(root, text);
}

// Reads bytes back with a namespace-aware reader; returns the namespace URI of every element,
// keyed by qualified name, and fails the test on any reading error.
QMap<QString, QString> ReadElementNamespaces(const QByteArray& bytes)
{
    QMap<QString, QString> namespaces;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            namespaces.insert(reader.qualifiedName().toString(), reader.namespaceUri().toString());
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return namespaces;
}

}  // namespace

class XmlWriteToFileTest : public TempFolderTest {};

// A cut-down package document, built the way the book builder builds its own.
TEST_F(XmlWriteToFileTest, PackageDocumentIsWrittenByteForByte)
{
    TXMLDocument doc;
    doc.SetStandalone("yes");
    doc.SetVersion("1.0");
    doc.SetEncoding("UTF-8");
    doc.SetNodeIndentStr("\t");
    doc.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);

    TXMLNode& root = AppendElementNS(doc.DocumentNode(), "package", kOpf);
    SetAttributeValueNS(root, "unique-identifier", "", "BookId");
    SetAttributeValueNS(root, "version", "", "2.0");

    TXMLNode& meta = AppendElementNS(root, "metadata", root.NamespaceURI());
    DeclareNamespacePrefix(meta, "", kOpf);
    DeclareNamespacePrefix(meta, "dc", kDc);
    DeclareNamespacePrefix(meta, "opf", kOpf);
    RemoveAttributeNamed(meta, "xmlns");
    SetElementText(AppendElement(meta, "dc:title"), "My Book");
    TXMLNode& creator = AppendElement(meta, "dc:creator");
    SetAttributeValue(creator, "opf:role", "aut");
    SetElementText(creator, "");
    TXMLNode& cover = AppendElement(meta, "meta");
    SetAttributeValue(cover, "name", "cover");
    SetAttributeValue(cover, "content", "cover-image");
    SetElementText(cover, "");

    TXMLNode& manifest = AppendElement(root, "manifest");
    TXMLNode& item = AppendElement(manifest, "item");
    SetAttributeValue(item, "id", "page1");
    SetAttributeValue(item, "href", "page1.html");
    SetAttributeValue(item, "media-type", "application/xhtml+xml");
    TXMLNode& spine = AppendElement(root, "spine");
    SetAttributeValue(spine, "toc", "ncx");
    AppendElement(root, "guide");

    const QString path = PathIn("fb.opf");
    WriteToFile(doc, path);

    EXPECT_EQ(
        ReadTestFile(path),
        QByteArray(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<package xmlns=\"http://www.idpf.org/2007/opf\" unique-identifier=\"BookId\" version=\"2.0\">\r\n"
            "\t<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\">\r\n"
            "\t\t<dc:title>My Book</dc:title>\r\n"
            "\t\t<dc:creator opf:role=\"aut\"></dc:creator>\r\n"
            "\t\t<meta name=\"cover\" content=\"cover-image\"></meta>\r\n"
            "\t</metadata>\r\n"
            "\t<manifest>\r\n"
            "\t\t<item id=\"page1\" href=\"page1.html\" media-type=\"application/xhtml+xml\"/>\r\n"
            "\t</manifest>\r\n"
            "\t<spine toc=\"ncx\"/>\r\n"
            "\t<guide/>\r\n"
            "</package>\r\n"));

    const QMap<QString, QString> namespaces = ReadElementNamespaces(ReadTestFile(path));
    EXPECT_EQ(namespaces.value("dc:title"), kDc);
    EXPECT_EQ(namespaces.value("meta"), kOpf);
    EXPECT_EQ(namespaces.value("guide"), kOpf);
}

TEST(XmlWriteTest, TextAndAttributeValuesAreEscapedAndWrittenAsUtf8)
{
    // e with acute accent, euro sign and a character beyond the Basic Multilingual Plane.
    const QString nonAscii = QString::fromUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    const QString text = QStringLiteral("Tom & Jerry <1> \"q\" ") + nonAscii;
    const QString value = QStringLiteral("a&b<c>\"d\"\r\n\te");
    TXMLDocument document;
    BuildTextDocument(document, text, value);

    // Line breaks and tabs in an attribute value are written as references, so that a reader's
    // attribute-value normalisation gives them back unchanged. No byte order mark.
    const QByteArray bytes = WriteToBytes(document);
    EXPECT_EQ(bytes,
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                         "<t a=\"a&amp;b&lt;c&gt;&quot;d&quot;&#13;&#10;&#9;e\">"
                         "Tom &amp; Jerry &lt;1&gt; &quot;q&quot; \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80</t>\r\n"));

    QXmlStreamReader reader(bytes);
    ASSERT_TRUE(reader.readNextStartElement());
    EXPECT_EQ(reader.attributes().value("a").toString(), value);
    EXPECT_EQ(reader.readElementText(), text);
}

TEST_F(XmlWriteToFileTest, FileThatCannotBeCreatedRaisesAndLeavesNothing)
{
    TXMLDocument document;
    BuildTextDocument(document, "x", "y");
    const QString path = PathIn("missing/fb.opf");
    try {
        WriteToFile(document, path);
        FAIL() << "writing into a missing folder succeeded";
    } catch (const XmlError& error) {
        EXPECT_TRUE(error.Text().startsWith("Cannot create file " + path + ": ")) << error.what();
    }
    EXPECT_FALSE(QFileInfo::exists(PathIn("missing")));
    EXPECT_TRUE(FolderNames(Root()).isEmpty());
}

TEST_F(XmlWriteToFileTest, ExistingFileIsReplacedWholeOrNotAtAll)
{
    const QString path = PathIn("fb.ncx");
    const QByteArray earlier(4096, 'z');
    WriteTestFile(path, earlier);

    // A character XML cannot hold, and a declaration naming an encoding we do not write: both
    // refused, and the earlier file survives untouched with nothing left beside it.
    TXMLDocument unwritable;
    BuildTextDocument(unwritable, QString("bell ") + QChar(0x07), "y");
    EXPECT_THROW(WriteToFile(unwritable, path), XmlError);
    TXMLDocument latin1;
    BuildTextDocument(latin1, "x", "y");
    latin1.SetEncoding("ISO-8859-1");
    EXPECT_THROW(WriteToFile(latin1, path), XmlError);
    EXPECT_EQ(ReadTestFile(path), earlier);
    EXPECT_EQ(FolderNames(Root()), QStringList{"fb.ncx"});

    // The encoding name is compared without letter case.
    TXMLDocument shorter;
    BuildTextDocument(shorter, "x", "y");
    shorter.SetEncoding("utf-8");
    WriteToFile(shorter, path);
    EXPECT_EQ(ReadTestFile(path), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<t a=\"y\">x</t>\r\n"));
}

// A document of two long lists, built in document order as the book's documents are.
void BuildLists(TXMLDocument& document, const std::function<void()>& afterEachItem)
{
    document.SetVersion("1.0");
    document.SetEncoding("UTF-8");
    document.SetNodeIndentStr("\t");
    document.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);
    TXMLNode& root = AppendElementNS(document.DocumentNode(), "package", kOpf);
    SetAttributeValue(root, "version", "2.0");
    SetElementText(AppendElement(root, "title"), "T & U");
    for (const char* listName : {"manifest", "spine"}) {
        TXMLNode& list = AppendElement(root, listName);
        for (int item = 1; item <= 5; ++item) {
            TXMLNode& element = AppendElement(list, "item");
            SetAttributeValue(element, "id", QString("i%1").arg(item));
            SetElementText(AppendElement(element, "text"), QString("text %1").arg(item));
            afterEachItem();
        }
    }
    AppendElement(root, "guide");
}

TEST_F(XmlWriteToFileTest, AFileWrittenAsItIsBuiltHoldsTheSameBytesAndTheTreeKeepsOnlyItsLastBranch)
{
    TXMLDocument whole;
    BuildLists(whole, [] {});
    const QByteArray expected = WriteToBytes(whole);

    // Flushed after every item, and once before anything below the root.
    TXMLDocument streamed;
    QSaveFile file(PathIn("streamed.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    TXMLStreamWriter writer(streamed, file, PathIn("streamed.xml"));
    int largestRoot = 0;
    BuildLists(streamed, [&] {
        writer.Flush();
        const TXMLNode& root = streamed.DocumentNode().ChildNodes()[0];
        largestRoot = std::max(largestRoot, root.ChildNodes().Count());
        EXPECT_EQ(root.ChildNodes().Count() > 0 ? root.ChildNodes()[0].ChildNodes().Count() : 0, 2)
            << "the list keeps its last item and the line break after it";
    });
    writer.Finish();
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(ReadTestFile(PathIn("streamed.xml")), expected);
    EXPECT_LE(largestRoot, 2);
}
