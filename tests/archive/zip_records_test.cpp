// The bytes of the records, the entry data and the name and time rules, written from the zip format's field
// tables and checked byte for byte.
#include "archive/byte_sink.h"
#include "archive/byte_source.h"
#include "archive/dos_time.h"
#include "archive/file_list.h"
#include "archive/sorted_zip.h"
#include "archive/wildcard.h"
#include "archive/zip_entry_data.h"
#include "archive/zip_errors.h"
#include "archive/zip_records.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <numeric>

namespace {

TZipHeaderInfo KnownEntry()
{
    TZipHeaderInfo entry;
    entry.lastModified = 0x5A8B6C21;
    entry.crc32 = 0x12345678;
    entry.compressedSize = 0x1234;
    entry.uncompressedSize = 0x5678;
    entry.externalAttributes = 0x20;
    entry.fileName = "OEBPS/page1.html";
    return entry;
}

// Keeps an entry's packed data in memory, with the source bytes each block reports.
class MemoryDataOutput final : public EntryDataOutput {
public:
    std::vector<char> TakeBuffer(qint64 size) override { return std::vector<char>(static_cast<size_t>(size)); }

    void Put(std::vector<char> buffer, qint64 size, qint64 bytesRead) override
    {
        bytes.append(buffer.data(), size);
        blockSizes << size;
        readSizes << bytesRead;
    }

    QByteArray bytes;
    QList<qint64> blockSizes;
    QList<qint64> readSizes;
};

// A writer that keeps what it is given and notes the size of every write.
class RecordingWriter final : public EntryWriter {
public:
    void Write(const char* data, qint64 size) override
    {
        bytes.append(data, size);
        writes << size;
    }

    QByteArray bytes;
    QList<qint64> writes;
};

}  // namespace

TEST(ZipRecords, HeadersOfAKnownEntryFollowTheFieldTables)
{
    MemorySink sink;
    ArchiveOutput archive(sink);
    TZipHeaderInfo entry = KnownEntry();
    WriteLocalHeader(entry, archive);
    archive.Flush();
    EXPECT_EQ(sink.Bytes().toHex(' '), FromHex("504b0304 1400 0000 0800 216c8b5a 78563412 34120000 78560000 1000 0000")
                                           .append("OEBPS/page1.html")
                                           .toHex(' '));
    EXPECT_EQ(entry.relativeOffset, 0u);

    MemorySink central;
    ArchiveOutput centralArchive(central);
    entry.relativeOffset = 0x100;
    WriteCentralHeader(entry, centralArchive);
    centralArchive.Flush();
    EXPECT_EQ(central.Bytes().toHex(' '),
              FromHex("504b0102 2d00 1400 0000 0800 216c8b5a 78563412 34120000 78560000 1000 0000 0000 0000 0000"
                      "20000000 00010000")
                  .append("OEBPS/page1.html")
                  .toHex(' '));
}

TEST(ZipRecords, EndRecordCountsEntriesTwiceAndAnEmptyArchiveIsItAlone)
{
    MemorySink empty;
    ArchiveOutput emptyArchive(empty);
    WriteEndRecord(TEndCentral(), emptyArchive);
    emptyArchive.Flush();
    EXPECT_EQ(empty.Bytes().toHex(' '), FromHex("504b0506 0000 0000 0000 0000 00000000 00000000 0000").toHex(' '));

    MemorySink three;
    ArchiveOutput threeArchive(three);
    TEndCentral end;
    end.entriesOnDisk = end.totalEntries = 3;
    end.centralSize = 0x9C;
    end.centralOffset = 0x1234;
    WriteEndRecord(end, threeArchive);
    threeArchive.Flush();
    EXPECT_EQ(three.Bytes().toHex(' '), FromHex("504b0506 0000 0000 0300 0300 9c000000 34120000 0000").toHex(' '));
}

TEST(ZipRecords, LargeValuesTakeTheZip64FormInAllThreeRecords)
{
    TZipHeaderInfo large = KnownEntry();
    large.uncompressedSize = 0x100000000;
    large.compressedSize = 0x100000010;
    MemorySink local;
    ArchiveOutput localArchive(local);
    WriteLocalHeader(large, localArchive);
    localArchive.Flush();
    EXPECT_EQ(local.Bytes().toHex(' '), FromHex("504b0304 2d00 0000 0800 216c8b5a 78563412 ffffffff ffffffff 1000 1400")
                                            .append("OEBPS/page1.html")
                                            .append(FromHex("0100 1000 0000000001000000 1000000001000000"))
                                            .toHex(' '));

    // Only the overflowing values go into the central header's block, in the order of the format.
    large.relativeOffset = 0x200000000;
    TZipHeaderInfo farOnly = KnownEntry();
    farOnly.relativeOffset = 0x200000000;
    MemorySink central;
    ArchiveOutput centralArchive(central);
    WriteCentralHeader(large, centralArchive);
    WriteCentralHeader(farOnly, centralArchive);
    centralArchive.Flush();
    const QByteArray name("OEBPS/page1.html");
    EXPECT_EQ(central.Bytes().toHex(' '),
              FromHex("504b0102 2d00 2d00 0000 0800 216c8b5a 78563412 ffffffff ffffffff 1000 1c00 0000 0000 0000"
                      "20000000 ffffffff")
                  .append(name)
                  .append(FromHex("0100 1800 0000000001000000 1000000001000000 0000000002000000"))
                  .append(FromHex("504b0102 2d00 2d00 0000 0800 216c8b5a 78563412 34120000 78560000 1000 0c00 0000"
                                  "0000 0000 20000000 ffffffff"))
                  .append(name)
                  .append(FromHex("0100 0800 0000000002000000"))
                  .toHex(' '));

    // 65535 entries no longer fit the 16-bit counts.
    MemorySink end;
    ArchiveOutput endArchive(end);
    TEndCentral record;
    record.entriesOnDisk = record.totalEntries = 0xFFFF;
    record.centralSize = 0x100;
    record.centralOffset = 0x123456789;
    WriteEndRecord(record, endArchive);
    endArchive.Flush();
    EXPECT_EQ(end.Bytes().toHex(' '),
              FromHex("504b0606 2c00000000000000 2d00 2d00 00000000 00000000 ffff000000000000 ffff000000000000"
                      "0001000000000000 8967452301000000"
                      "504b0607 00000000 0000000000000000 01000000"
                      "504b0506 0000 0000 ffff ffff 00010000 ffffffff 0000")
                  .toHex(' '));
}

TEST(ZipRecords, FlagsAndNamesFollowTheRules)
{
    EXPECT_EQ(FlagsForLevel(1), 0x0004);
    EXPECT_EQ(FlagsForLevel(2), 0x0004);
    EXPECT_EQ(FlagsForLevel(3), 0x0000);
    EXPECT_EQ(FlagsForLevel(6), 0x0000);
    EXPECT_EQ(FlagsForLevel(7), 0x0000);
    EXPECT_EQ(FlagsForLevel(8), 0x0002);
    EXPECT_EQ(FlagsForLevel(9), 0x0002);

    EXPECT_EQ(StoredName("OEBPS/", "page1.html"), QByteArray("OEBPS/page1.html"));
    EXPECT_EQ(StoredName("", "mimetype"), QByteArray("mimetype"));
    EXPECT_EQ(StoredName("OEBPS/", QString::fromUtf8("Kaffee-\xc3\xbc.jpg")), QByteArray("OEBPS/Kaffee-\xc3\xbc.jpg"));
    // Only a name with a byte outside ASCII carries the UTF-8 flag.
    EXPECT_EQ(NameEncodingFlag("OEBPS/page1.html"), 0);
    EXPECT_EQ(NameEncodingFlag("OEBPS/Kaffee-\xc3\xbc.jpg"), 0x0800);

    // Names an extractor could take out of its folder, or read as another name, are refused.
    for (const auto& [folder, name] : {std::pair<QString, QString>{"a\\b/", "c.jpg"},
                                       {"OEBPS/", "..\\..\\esc.jpg"},
                                       {"/", "abs.jpg"},
                                       {"OEBPS//", "x.jpg"},
                                       {"../", "x.jpg"},
                                       {"./", "x.jpg"},
                                       {"OEBPS/", ".."},
                                       {"", ""}}) {
        EXPECT_THROW(StoredName(folder, name), ZipError) << (folder + name).toStdString();
    }
}

TEST(ZipRecords, DosTimesKeepTwoSecondStepsAndStayInsideTheForm)
{
    std::tm local{};
    local.tm_year = 2021 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 5;
    local.tm_min = 6;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    const quint32 expected = (41u << 9 | 3u << 5 | 4u) << 16 | (5u << 11 | 6u << 5 | 4u);
    EXPECT_EQ(DosDateTime(std::mktime(&local)), expected);

    local.tm_year = 1975 - 1900;
    EXPECT_EQ(DosDateTime(std::mktime(&local)), 0x00210000u) << "before 1980: 1980-01-01 00:00:00";
    local.tm_year = 2150 - 1900;
    EXPECT_EQ(DosDateTime(std::mktime(&local)), 0xFF9FBF7Du) << "after 2107: 2107-12-31 23:59:58";
}

TEST(ZipRecords, MasksFollowTheDirectoryListingRules)
{
    EXPECT_TRUE(MaskMatches("page1.html", "*"));
    EXPECT_TRUE(MaskMatches("mimetype", "*"));
    EXPECT_TRUE(MaskMatches("PAGE1.HTML", "page?.html"));
    EXPECT_FALSE(MaskMatches("page10.html", "page?.html"));
    EXPECT_TRUE(MaskMatches("mimetype", "*."));
    EXPECT_FALSE(MaskMatches("fb.opf", "*."));
    EXPECT_TRUE(MaskMatches("a.b.c", "*.c"));
    EXPECT_FALSE(MaskMatches("abc", "*.c"));
}

TEST(ZipRecords, TheCentralDirectoryKeepsEveryFieldOfAnEntryInLittleMemory)
{
    // An entry carried over from another writer's archive, with every field away from its default.
    TZipHeaderInfo carried = KnownEntry();
    carried.versionMadeBy = 0x031E;
    carried.versionNeeded = 45;
    carried.flags = 0x0800;
    carried.compressionMethod = kMethodStore;
    carried.uncompressedSize = 0x100000000;
    carried.compressedSize = 0x100000000;
    carried.relativeOffset = 0x123456789;
    carried.internalAttributes = 1;
    carried.externalAttributes = 0x81A40000;
    carried.fileName = "OEBPS/Page1.html";
    carried.centralExtra = FromHex("5554 0500 01 00000000");
    carried.comment = "note";
    TZipHeaderInfo small = KnownEntry();
    small.fileName = "mimetype";
    small.zip64Sizes = true;
    TSortedZip entries;
    entries.Add(carried);
    entries.Add(small);
    EXPECT_TRUE(entries.ContainsName("oebps/PAGE1.HTML"));
    EXPECT_FALSE(entries.ContainsName("OEBPS/Page2.html"));
    ASSERT_EQ(entries.Count(), 2);
    MemorySink expected;
    MemorySink kept;
    ArchiveOutput expectedArchive(expected);
    ArchiveOutput keptArchive(kept);
    for (qsizetype i = 0; i < entries.Count(); ++i) {
        WriteCentralHeader(i == 0 ? carried : small, expectedArchive);
        WriteCentralHeader(entries.At(i), keptArchive);
    }
    expectedArchive.Flush();
    keptArchive.Flush();
    EXPECT_EQ(kept.Bytes().toHex(' '), expected.Bytes().toHex(' '));

    // A book of many thousand pages: each entry costs little beyond its name.
    constexpr int kEntries = 100000;
    const size_t before = mallinfo2().uordblks;
    TSortedZip many;
    TZipHeaderInfo page = KnownEntry();
    for (int i = 0; i < kEntries; ++i) {
        page.fileName = QByteArray("OEBPS/page") + QByteArray::number(i).rightJustified(6, '0') + ".html";
        many.Add(page);
    }
    const size_t after = mallinfo2().uordblks;
    if (after == before) {
        GTEST_SKIP() << "the allocator in use does not report what it holds";
    }
    const double perEntry = static_cast<double>(after - before) / kEntries - static_cast<double>(page.fileName.size());
    EXPECT_LE(perEntry, 200.0);
}

TEST(EntryData, EmptySourceGivesTheTwoByteEmptyStream)
{
    MemoryDataOutput output;
    DeflateEngine engine(6);
    const PackedData data = EntryPacker(EntryMethod::Deflate, &engine, output).Finish();
    EXPECT_EQ(output.bytes, FromHex("0300"));
    EXPECT_EQ(data.compressedSize, 2);
    EXPECT_EQ(data.uncompressedSize, 0);
    EXPECT_EQ(data.crc32, 0u);
    EXPECT_GE(output.blockSizes.size(), 1) << "every entry gives at least one block";
}

TEST(EntryData, DeflatedBlocksInflateBackWithTheirCrc)
{
    // Random bytes do not compress, so the output fills several blocks of 65535 bytes.
    const QByteArray text = QByteArray("<p>page</p>\n").repeated(20000);
    const QByteArray content = RandomBytes(200000, 7) + text;
    // A file's content is read in blocks of 65535 bytes, each given to the engine as it comes.
    const QString path =
        QDir::temp().filePath(QStringLiteral("tamboril-entry-data-%1").arg(QCoreApplication::applicationPid()));
    WriteTestFile(path, content);
    RecordingWriter source;
    OpenFileContent(path)->WriteTo(source);
    QFile::remove(path);
    EXPECT_EQ(source.bytes, content);
    EXPECT_EQ(source.writes.first(), 65535) << "the file is read in blocks of 65535 bytes";
    MemoryDataOutput output;
    DeflateEngine engine(6);
    EntryPacker packer(EntryMethod::Deflate, &engine, output);
    qint64 offset = 0;
    for (const qint64 size : source.writes) {
        packer.Write(content.constData() + offset, size);
        offset += size;
    }
    const PackedData data = packer.Finish();
    EXPECT_EQ(InflateRaw(output.bytes), content);
    EXPECT_EQ(data.crc32, Crc32Of(content));
    EXPECT_EQ(data.uncompressedSize, content.size());
    EXPECT_EQ(data.compressedSize, output.bytes.size());
    EXPECT_GE(output.blockSizes.size(), 4);
    EXPECT_LE(*std::max_element(output.blockSizes.cbegin(), output.blockSizes.cend()), 65535);
    EXPECT_EQ(std::accumulate(output.readSizes.cbegin(), output.readSizes.cend(), qint64{0}), content.size())
        << "the blocks account for every byte read";

    MemoryDataOutput stored;
    EntryPacker copier(EntryMethod::Store, nullptr, stored);
    copier.Write(content.constData(), content.size());
    const PackedData copy = copier.Finish();
    EXPECT_EQ(stored.bytes, content);
    EXPECT_EQ(copy.crc32, data.crc32);
    EXPECT_EQ(copy.compressedSize, content.size());
}

TEST(EntryData, AnImpossibleLevelRaisesTheCompressionError)
{
    try {
        DeflateEngine engine(12);
        ADD_FAILURE() << "an impossible level was accepted";
    } catch (const EZCompressionError& error) {
        EXPECT_STREQ(error.what(), "error");
    }
}
