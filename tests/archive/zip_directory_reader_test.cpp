// Reading the directory of an existing archive, which may come from anywhere.
#include "archive/byte_source.h"
#include "archive/zip_directory_reader.h"
#include "archive/zip_errors.h"
#include "archive/zip_folder.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QJsonArray>
#include <QtEndian>

#include <functional>

namespace {

class ZipDirectoryReaderTest : public TempFolderTest {
protected:
    // A small archive of ours: two entries and the end record.
    QByteArray TwoEntryArchive()
    {
        WriteTestFile(PathIn("root/a.txt"), "alpha");
        WriteTestFile(PathIn("root/b.txt"), QByteArray("beta").repeated(100));
        EXPECT_TRUE(ZipFolder(PathIn("two.zip"), PathIn("root")));
        return ReadTestFile(PathIn("two.zip"));
    }
};

void Put32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

void Put16(QByteArray& bytes, qsizetype at, quint16 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

bool IsRejected(const QByteArray& bytes)
{
    try {
        ReadZipDirectory(MemorySource(bytes));
        return false;
    } catch (const ZipError& error) {
        EXPECT_STREQ(error.what(), "Not a valid zip file!");
        return true;
    }
}

}  // namespace

TEST_F(ZipDirectoryReaderTest, ReadsEntriesWithTheirRecordsAndDataPlaces)
{
    const QByteArray bytes = TwoEntryArchive();
    const QJsonObject python = InspectZip(PathIn("two.zip"));
    const std::vector<StoredEntry> entries = ReadZipDirectory(MemorySource(bytes));
    ASSERT_EQ(entries.size(), 2u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const QJsonObject expected = python["entries"].toArray()[static_cast<qsizetype>(i)].toObject();
        const TZipHeaderInfo& header = entries[i].header;
        EXPECT_EQ(QString::fromUtf8(header.fileName), expected["name"].toString());
        EXPECT_EQ(header.crc32, expected["crc"].toInteger());
        EXPECT_EQ(header.compressedSize, static_cast<quint64>(expected["compressedSize"].toInteger()));
        EXPECT_EQ(header.uncompressedSize, static_cast<quint64>(expected["size"].toInteger()));
        EXPECT_EQ(header.relativeOffset, static_cast<quint64>(expected["headerOffset"].toInteger()));
        EXPECT_EQ(entries[i].dataOffset, static_cast<qint64>(header.relativeOffset) + 30 + header.fileName.size());
    }

    // A comment after the end record, and an archive with no entry at all, are read too.
    QByteArray commented = bytes;
    Put16(commented, commented.size() - 2, 7);
    commented.append("comment");
    EXPECT_EQ(ReadZipDirectory(MemorySource(commented)).size(), 2u);
    EXPECT_TRUE(ReadZipDirectory(MemorySource(FromHex("504b0506 0000 0000 0000 0000 00000000 00000000 0000"))).empty());
}

TEST_F(ZipDirectoryReaderTest, DamagedOrHostileDirectoriesAreNotAValidZipFile)
{
    const QByteArray good = TwoEntryArchive();
    const qsizetype end = good.size() - 22;
    const qsizetype central = U32At(good, end + 16);
    const qsizetype secondCentral = central + 46 + 5;  // after "a.txt"
    const std::vector<std::pair<const char*, std::function<void(QByteArray&)>>> damages = {
        {"empty file", [](QByteArray& b) { b.clear(); }},
        {"text", [](QByteArray& b) { b = QByteArray("not an archive at all, just words").repeated(3); }},
        {"cut short", [](QByteArray& b) { b.chop(1); }},
        {"comment longer than the file", [](QByteArray& b) { Put16(b, b.size() - 2, 1); }},
        {"directory offset past its end", [&](QByteArray& b) { Put32(b, end + 16, static_cast<quint32>(end)); }},
        {"directory size past the end record", [&](QByteArray& b) { Put32(b, end + 12, 0x7FFFFFFF); }},
        {"more entries than the directory holds",
         [&](QByteArray& b) {
             Put16(b, end + 8, 3);
             Put16(b, end + 10, 3);
         }},
        {"entry counts that differ", [&](QByteArray& b) { Put16(b, end + 8, 1); }},
        {"a second disk", [&](QByteArray& b) { Put16(b, end + 4, 1); }},
        {"central signature broken", [&](QByteArray& b) { b[central] = 'X'; }},
        {"name running past the directory", [&](QByteArray& b) { Put16(b, secondCentral + 28, 0xFFFF); }},
        {"local header offset into the data", [&](QByteArray& b) { Put32(b, secondCentral + 42, 1); }},
        {"local header offset past the directory", [&](QByteArray& b) { Put32(b, secondCentral + 42, 0xFFFFFFF0); }},
        {"two entries sharing their bytes",
         [&](QByteArray& b) {
             Put32(b, secondCentral + 42, 0);
             Put32(b, secondCentral + 20, 1);
         }},
        {"compressed size past the directory", [&](QByteArray& b) { Put32(b, central + 20, 0x10000000); }},
        {"Zip64 mark without a Zip64 value", [&](QByteArray& b) { Put32(b, central + 24, 0xFFFFFFFF); }},
        {"Zip64 locator pointing past the file",
         [&](QByteArray& b) {
             Put16(b, end + 8, 0xFFFF);
             Put16(b, end + 10, 0xFFFF);
             b.insert(end, FromHex("504b0607 00000000 ffffffffffffff7f 01000000"));
         }},
    };
    ASSERT_FALSE(IsRejected(good));
    for (const auto& [what, damage] : damages) {
        QByteArray bytes = good;
        damage(bytes);
        EXPECT_TRUE(IsRejected(bytes)) << what;
    }
}
