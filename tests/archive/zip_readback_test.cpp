// Books packed by ZipFolder, read back by tools nobody here wrote: Info-ZIP's unzip and Python's zipfile.
#include "archive/zip_folder.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QFile>
#include <QJsonArray>
#include <QMap>

#include <sys/stat.h>

namespace {

class ZipReadbackTest : public TempFolderTest {};

// The files of a small book below its staging root, by stored name.
QMap<QString, QByteArray> BookFiles()
{
    return {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml", "<?xml version=\"1.0\"?>\n<container/>\n"},
        {"OEBPS/page1.html", QByteArray("<html><body><img src=\"one.jpg\"/></body></html>\n").repeated(3)},
        {"OEBPS/page2.html", "<html><body><img src=\"two.jpg\"/></body></html>\n"},
        {"OEBPS/fb.opf", "<package/>\n"},
        {"OEBPS/fb.ncx", "<ncx/>\n"},
        {"OEBPS/one.jpg", RandomBytes(150000, 1)},
        {"OEBPS/empty.txt", ""},
        {QString::fromUtf8("OEBPS/Kaffee-\xc3\xbc.jpg"), RandomBytes(1000, 2)},
        {"OEBPS/locked.jpg", RandomBytes(500, 3)},
    };
}

}  // namespace

TEST_F(ZipReadbackTest, ToolsNobodyHereWroteReadTheBookArchive)
{
    const QMap<QString, QByteArray> files = BookFiles();
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        WriteTestFile(PathIn("epubfiles/" + file.key()), file.value());
    }
    ASSERT_EQ(::chmod(QFile::encodeName(PathIn("epubfiles/OEBPS/locked.jpg")).constData(), 0444), 0);
    const QString book = PathIn("book.epub");
    ASSERT_TRUE(ZipFolder(book, PathIn("epubfiles"), {}, nullptr, "mimetype"));

    QString unzipOutput;
    EXPECT_TRUE(UnzipTestPasses(book, &unzipOutput)) << unzipOutput.toStdString();
    const QJsonObject zip = InspectZip(book);
    EXPECT_TRUE(zip["testzip"].isNull());
    ASSERT_EQ(zip["count"].toInt(), files.size());
    for (const QJsonValue& value : zip["entries"].toArray()) {
        const QJsonObject entry = value.toObject();
        const QString name = entry["name"].toString();
        ASSERT_TRUE(files.contains(name)) << name.toStdString();
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(entry["nameHex"].toString(), name.toUtf8().toHex()) << "names are stored as their UTF-8 bytes";
        EXPECT_EQ(entry["crc"].toInteger(), Crc32Of(files[name]));
        EXPECT_EQ(entry["size"].toInt(), files[name].size());
        // The mimetype file is stored, every other file deflated; only a non-ASCII name says it is UTF-8.
        EXPECT_EQ(entry["method"].toInt(), name == "mimetype" ? 0 : 8);
        EXPECT_EQ(entry["flags"].toInt(), name.toUtf8() == name.toLatin1() ? 0 : 0x0800) << "no data descriptor";
        EXPECT_EQ(entry["createVersion"].toInt(), 45);
        EXPECT_EQ(entry["createSystem"].toInt(), 0);
        EXPECT_EQ(entry["extractVersion"].toInt(), 20);
        EXPECT_EQ(entry["externalAttributes"].toInt(), name == "OEBPS/locked.jpg" ? 0x21 : 0x20);
        EXPECT_EQ(entry["internalAttributes"].toInt(), 0);
        // A non-ASCII name is repeated in an Info-ZIP Unicode Path field: ID 0x7075, size, version 1, the CRC-32 of
        // the name field, the name.
        const QByteArray utf8 = name.toUtf8();
        const quint32 crc = Crc32Of(utf8);
        const QByteArray unicodePath = QByteArray::fromHex("7570") + char(5 + utf8.size()) + '\0' + '\x01' + char(crc)
                                       + char(crc >> 8) + char(crc >> 16) + char(crc >> 24) + utf8;
        EXPECT_EQ(entry["extraHex"].toString(), utf8 == name.toLatin1() ? "" : unicodePath.toHex());
    }
    EXPECT_EQ(EntryNamed(zip, "OEBPS/empty.txt")["compressedSize"].toInt(), 2);
    EXPECT_EQ(EntryNames(zip).first(), "mimetype");

    // Each entry's local header lies right after the previous entry's data and repeats the central values;
    // the central directory follows the last data, and the end record closes the file.
    const QByteArray bytes = ReadTestFile(book);
    qint64 next = 0;
    for (const QJsonValue& value : zip["entries"].toArray()) {
        const QJsonObject entry = value.toObject();
        const qsizetype at = entry["headerOffset"].toInt();
        EXPECT_EQ(at, next);
        EXPECT_EQ(U32At(bytes, at), 0x04034b50u);
        EXPECT_EQ(U16At(bytes, at + 6), entry["flags"].toInteger());
        EXPECT_EQ(U32At(bytes, at + 14), entry["crc"].toInteger());
        EXPECT_EQ(U32At(bytes, at + 18), entry["compressedSize"].toInteger());
        EXPECT_EQ(U32At(bytes, at + 22), entry["size"].toInteger());
        EXPECT_EQ(U16At(bytes, at + 28), entry["extraHex"].toString().size() / 2) << "the same extra field";
        next = at + 30 + U16At(bytes, at + 26) + U16At(bytes, at + 28) + entry["compressedSize"].toInt();
    }
    EXPECT_EQ(U32At(bytes, next), 0x02014b50u);
    const qsizetype end = bytes.size() - 22;
    EXPECT_EQ(U32At(bytes, end), 0x06054b50u);
    EXPECT_EQ(U16At(bytes, end + 8), static_cast<quint32>(files.size()));
    EXPECT_EQ(U16At(bytes, end + 10), static_cast<quint32>(files.size()));
    EXPECT_EQ(U32At(bytes, end + 12), end - next);
    EXPECT_EQ(U32At(bytes, end + 16), next);
    EXPECT_EQ(U16At(bytes, end + 20), 0u);
}

TEST_F(ZipReadbackTest, MoreThan65534EntriesTakeTheZip64EndRecords)
{
    const QString folder = PathIn("many");
    constexpr int kEntries = 65535;
    MakeManyEmptyFiles(folder, kEntries);
    const QString book = PathIn("many.zip");
    ASSERT_TRUE(ZipFolder(book, folder));
    QJsonObject zip = InspectZip(book, true);
    EXPECT_EQ(zip["count"].toInt(), kEntries);
    EXPECT_EQ(zip["distinct"].toInt(), kEntries);
    EXPECT_TRUE(zip["testzip"].isNull());

    const QByteArray bytes = ReadTestFile(book);
    const qsizetype end = bytes.size() - 22;
    EXPECT_EQ(U16At(bytes, end + 8), 0xFFFFu);
    EXPECT_EQ(U32At(bytes, end - 20), 0x07064b50u) << "the Zip64 locator precedes the end record";

    // Packing again merges into the archive: every entry is carried over through the Zip64 records.
    ASSERT_TRUE(ZipFolder(book, folder));
    zip = InspectZip(book, true);
    EXPECT_EQ(zip["count"].toInt(), kEntries);
    EXPECT_EQ(zip["distinct"].toInt(), kEntries);
    EXPECT_TRUE(zip["testzip"].isNull());
}
