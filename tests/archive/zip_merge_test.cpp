// Packing into a path where an archive already lies: the writer merges into it.
#include "archive/zip_folder.h"
#include "archive/zip_writer.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <sys/stat.h>

#include <ctime>

namespace {

class ZipMergeTest : public TempFolderTest {
protected:
    // Packs the staging root into `archive` as ZipFolder does, with the merge's temporary file in `temporary`.
    void Pack(const QString& archive, const QString& temporary)
    {
        ZipWriter writer;
        writer.SetRootDir(PathIn("root"));
        writer.SetRelativePaths(true);
        writer.SetZipName(archive);
        writer.SetTempPath(temporary);
        writer.FilesList() << PathIn("root/*.*");
        writer.WriteArchive();
    }

    // The bytes of an entry from its local header to the end of its data.
    static QByteArray EntryBytes(const QByteArray& archive, const QJsonObject& entry)
    {
        const qsizetype at = entry["headerOffset"].toInteger();
        const qsizetype length = 30 + U16At(archive, at + 26) + U16At(archive, at + 28);
        return archive.mid(at, length + entry["compressedSize"].toInteger());
    }
};

}  // namespace

TEST_F(ZipMergeTest, NewerFilesReplaceTheirEntriesAndEverythingElseIsCarriedOver)
{
    // Even seconds, so that the DOS times hold the file times exactly.
    const std::time_t then = (std::time(nullptr) - 100000) / 2 * 2;
    for (const char* name : {"a.txt", "b.txt", "sub/c.txt", "d.txt"}) {
        WriteTestFile(PathIn(QString("root/") + name), QByteArray(name) + " first");
        SetModified(PathIn(QString("root/") + name), then);
    }
    const QString book = PathIn("book.epub");
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp")));
    Pack(book, PathIn("tmp"));
    const QByteArray oldBytes = ReadTestFile(book);
    const QJsonObject old = InspectZip(book);

    WriteTestFile(PathIn("root/a.txt"), "a.txt second, newer");
    SetModified(PathIn("root/a.txt"), then + 100);
    WriteTestFile(PathIn("root/b.txt"), "b.txt second, but older");
    SetModified(PathIn("root/b.txt"), then - 100);
    QFile::remove(PathIn("root/d.txt"));
    WriteTestFile(PathIn("root/e.txt"), "e.txt new");
    Pack(book, PathIn("tmp"));

    const QJsonObject merged = InspectZip(book);
    EXPECT_EQ(EntryNames(merged), EntryNames(old) + QStringList{"e.txt"}) << "old entries keep their places";
    EXPECT_EQ(UnzipEntry(book, "a.txt"), QByteArray("a.txt second, newer"));
    EXPECT_EQ(UnzipEntry(book, "b.txt"), QByteArray("b.txt first"));
    EXPECT_EQ(UnzipEntry(book, "d.txt"), QByteArray("d.txt first"));
    EXPECT_EQ(UnzipEntry(book, "e.txt"), QByteArray("e.txt new"));
    const QByteArray newBytes = ReadTestFile(book);
    for (const char* name : {"b.txt", "sub/c.txt", "d.txt"}) {
        EXPECT_EQ(EntryBytes(newBytes, EntryNamed(merged, name)), EntryBytes(oldBytes, EntryNamed(old, name))) << name;
    }
    EXPECT_TRUE(UnzipTestPasses(book));
    EXPECT_TRUE(merged["testzip"].isNull());
    EXPECT_TRUE(FolderNames(PathIn("tmp")).isEmpty()) << "the temporary archive is moved into place";
}

TEST_F(ZipMergeTest, EntriesWithDataDescriptorsAreCarriedOverWithoutThem)
{
    WriteTestFile(PathIn("foreign/x.txt"), QByteArray("x ").repeated(1000));
    WriteTestFile(PathIn("foreign/y.txt"), "y");
    const QString book = PathIn("book.epub");
    // Info-ZIP writing to a pipe cannot go back to its headers, so it follows each entry with a data descriptor.
    ASSERT_EQ(
        RunProgram("sh", {"-c", "cd \"$1\" && zip -q - x.txt y.txt | cat > \"$2\"", "sh", PathIn("foreign"), book}), 0);
    ASSERT_NE(InspectZip(book)["entries"].toArray()[0].toObject()["flags"].toInt() & 0x8, 0);

    WriteTestFile(PathIn("root/z.txt"), "z");
    ASSERT_TRUE(ZipFolder(0, 0, book, PathIn("root")));
    const QJsonObject merged = InspectZip(book);
    EXPECT_EQ(EntryNames(merged), QStringList({"x.txt", "y.txt", "z.txt"}));
    for (const QJsonValue& entry : merged["entries"].toArray()) {
        EXPECT_EQ(entry["flags"].toInt() & 0x8, 0) << entry["name"].toString().toStdString();
    }
    EXPECT_TRUE(merged["testzip"].isNull());
    QString output;
    EXPECT_TRUE(UnzipTestPasses(book, &output)) << output.toStdString();
    EXPECT_EQ(UnzipEntry(book, "x.txt"), QByteArray("x ").repeated(1000));
}

TEST_F(ZipMergeTest, TemporaryArchiveOnAnotherFileSystemIsCopiedIntoPlace)
{
    struct stat here {};
    struct stat shm {};
    if (::stat(QFile::encodeName(Root()).constData(), &here) != 0 || ::stat("/dev/shm", &shm) != 0
        || here.st_dev == shm.st_dev) {
        GTEST_SKIP() << "no second file system for the temporary archive";
    }
    WriteTestFile(PathIn("root/a.txt"), "a");
    const QString book = PathIn("out/book.epub");
    ASSERT_TRUE(QDir().mkpath(PathIn("out")));
    ASSERT_TRUE(ZipFolder(0, 0, book, PathIn("root")));
    ::chmod(QFile::encodeName(book).constData(), 0640);
    WriteTestFile(PathIn("root/b.txt"), "b");
    const QStringList shmBefore = FolderNames("/dev/shm");
    Pack(book, "/dev/shm");
    EXPECT_EQ(EntryNames(InspectZip(book)), QStringList({"a.txt", "b.txt"}));
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList{"book.epub"});
    EXPECT_EQ(FolderNames("/dev/shm"), shmBefore);
    struct stat result {};
    ASSERT_EQ(::stat(QFile::encodeName(book).constData(), &result), 0);
    EXPECT_EQ(result.st_mode & 07777, 0640u) << "the new archive keeps the permissions of the one it replaces";
}

TEST_F(ZipMergeTest, AFileThatIsNotAZipArchiveIsReportedAndLeftAsItWas)
{
    WriteTestFile(PathIn("root/a.txt"), "a");
    const QByteArray notZip = QByteArray("This is a letter, not a book.\n").repeated(50);
    WriteTestFile(PathIn("book.epub"), notZip);
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp")));
    QString reason;
    EXPECT_FALSE(ZipFolder(0, 0, PathIn("book.epub"), PathIn("root"), {}, &reason));
    EXPECT_EQ(reason, "Not a valid zip file!");
    EXPECT_EQ(ReadTestFile(PathIn("book.epub")), notZip);
    try {
        Pack(PathIn("book.epub"), PathIn("tmp"));
        ADD_FAILURE() << "merged into a file that is not a zip archive";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Not a valid zip file!");
    }
    EXPECT_TRUE(FolderNames(PathIn("tmp")).isEmpty());
    EXPECT_EQ(ReadTestFile(PathIn("book.epub")), notZip);
}

TEST_F(ZipMergeTest, ABookMergedIntoAnOldArchiveStillOpensWithItsStoredMimetype)
{
    WriteTestFile(PathIn("root/a.txt"), "a");
    WriteTestFile(PathIn("root/mimetype"), "application/epub+zip");
    const QString book = PathIn("book.epub");
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp")));
    // A plain writer deflates the mimetype file like any other, where the walk meets it.
    Pack(book, PathIn("tmp"));
    ASSERT_EQ(EntryNamed(InspectZip(book), "mimetype")["method"].toInt(), 8);

    WriteTestFile(PathIn("root/b.txt"), "b");
    ASSERT_TRUE(ZipFolder(0, 0, book, PathIn("root")));
    const QJsonObject merged = InspectZip(book);
    EXPECT_EQ(EntryNames(merged).first(), "mimetype");
    EXPECT_EQ(EntryNames(merged).count("mimetype"), 1);
    EXPECT_EQ(EntryNamed(merged, "mimetype")["method"].toInt(), 0);
    EXPECT_EQ(UnzipEntry(book, "b.txt"), QByteArray("b"));
    EXPECT_TRUE(UnzipTestPasses(book));
}
