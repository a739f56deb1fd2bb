// Which files the folder walk takes, and in which order.
#include "archive/zip_folder.h"
#include "archive/zip_writer.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>

namespace {

class ZipWalkTest : public TempFolderTest {};

// The files below `folder` as a depth-first walk of the raw directory listing yields them, each subfolder's
// content right where the listing yields the subfolder.
QStringList ListingOrder(const QString& folder)
{
    QStringList files;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        if (QFileInfo(folder + "/" + name).isDir()) {
            files << ListingOrder(folder + "/" + name);
        } else {
            files << folder + "/" + name;
        }
    }
    ::closedir(dir);
    return files;
}

}  // namespace

TEST_F(ZipWalkTest, SubfolderContentComesWhereTheListingYieldsTheSubfolder)
{
    // Enough names that the listing order differs from any sorted order.
    for (const char* name : {"zeta.txt", "alpha", "mimetype", "beta/one.txt", "beta/deeper/two.txt", "beta/three.txt",
                             "gamma/four.txt", "omega.txt", "delta/five.txt", "eta.txt"}) {
        WriteTestFile(PathIn(QString("root/") + name), name);
    }
    const QStringList expected = ListingOrder(PathIn("root"));
    ASSERT_EQ(expected.size(), 10);

    const QString book = PathIn("book.epub");
    ASSERT_TRUE(ZipFolder(book, PathIn("root"), {}, nullptr, "mimetype"));
    // The mimetype file opens the archive; everything else follows in walk order.
    QStringList storedNames = {"mimetype"};
    for (const QString& path : expected) {
        if (!path.endsWith("/mimetype")) {
            storedNames << path.mid(PathIn("root/").size());
        }
    }
    EXPECT_EQ(EntryNames(InspectZip(book)), storedNames);
}

TEST_F(ZipWalkTest, HiddenSystemAndLinkedFoldersAreLeftOut)
{
    WriteTestFile(PathIn("root/kept.txt"), "kept");
    WriteTestFile(PathIn("root/.hidden.txt"), "hidden file");
    WriteTestFile(PathIn("root/.git/config"), "inside a hidden folder");
    WriteTestFile(PathIn("root/sub/.also-hidden"), "hidden file in a subfolder");
    WriteTestFile(PathIn("root/sub/page.html"), "page");
    WriteTestFile(PathIn("outside/secret.txt"), "outside");
    ASSERT_TRUE(QDir().mkpath(PathIn("root/empty/emptier")));
    // A link to a folder is never followed (it could loop); a link to a file packs that file under the link's name.
    ASSERT_EQ(::symlink(QFile::encodeName(PathIn("outside")).constData(),
                        QFile::encodeName(PathIn("root/linked-folder")).constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(PathIn("outside/secret.txt")).constData(),
                        QFile::encodeName(PathIn("root/linked-file.txt")).constData()),
              0);

    const QString book = PathIn("book.epub");
    ASSERT_TRUE(ZipFolder(book, PathIn("root")));
    QStringList names = EntryNames(InspectZip(book));
    names.sort();
    EXPECT_EQ(names, QStringList({"kept.txt", "linked-file.txt", "sub/page.html"}));
    EXPECT_EQ(UnzipEntry(book, "linked-file.txt"), QByteArray("outside"));
}

TEST_F(ZipWalkTest, TheArchiveInsideThePackedFolderNeverContainsItself)
{
    WriteTestFile(PathIn("root/a.txt"), "a");
    WriteTestFile(PathIn("root/sub/b.txt"), "b");
    const QString book = PathIn("root/book.epub");
    ASSERT_TRUE(ZipFolder(book, PathIn("root")));
    QStringList names = EntryNames(InspectZip(book));
    names.sort();
    EXPECT_EQ(names, QStringList({"a.txt", "sub/b.txt"}));

    // Packing again finds the archive in the walk and replaces it, under another spelling of its path too.
    ASSERT_TRUE(ZipFolder(PathIn("root/sub/../book.epub"), PathIn("root")));
    names = EntryNames(InspectZip(book));
    names.sort();
    EXPECT_EQ(names, QStringList({"a.txt", "sub/b.txt"}));
    EXPECT_TRUE(UnzipTestPasses(book));
}

TEST_F(ZipWalkTest, TrailingSeparatorAndEmptyOrMissingRootsMakeNoDifference)
{
    WriteTestFile(PathIn("root/mimetype"), "application/epub+zip");
    WriteTestFile(PathIn("root/OEBPS/page1.html"), "<html/>");
    ASSERT_TRUE(ZipFolder(PathIn("plain.epub"), PathIn("root")));
    ASSERT_TRUE(ZipFolder(PathIn("slash.epub"), PathIn("root/")));
    EXPECT_EQ(ReadTestFile(PathIn("slash.epub")), ReadTestFile(PathIn("plain.epub")));

    // A missing folder fails, naming it; an empty one, and one holding only empty folders, give the 22-byte end
    // record alone.
    QString reason;
    EXPECT_FALSE(ZipFolder(PathIn("missing.epub"), PathIn("missing"), {}, &reason));
    EXPECT_TRUE(reason.contains(PathIn("missing/"))) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(PathIn("missing.epub")));
    ASSERT_TRUE(QDir().mkpath(PathIn("hollow/a/b")));
    ASSERT_TRUE(QDir().mkpath(PathIn("void")));
    const QByteArray endRecordAlone = FromHex("504b0506 0000 0000 0000 0000 00000000 00000000 0000");
    for (const char* folder : {"hollow", "void"}) {
        const QString book = PathIn(QString(folder) + ".epub");
        ASSERT_TRUE(ZipFolder(book, PathIn(folder))) << folder;
        EXPECT_EQ(ReadTestFile(book), endRecordAlone) << folder;
    }
}

TEST_F(ZipWalkTest, FilesOfTheNoCompressListAreStoredAndTheRestDeflated)
{
    WriteTestFile(PathIn("root/page.html"), QByteArray("<p/>").repeated(100));
    WriteTestFile(PathIn("root/photo.jpg"), QByteArray("jpeg").repeated(100));
    WriteTestFile(PathIn("root/sub/art.PNG"), QByteArray("png").repeated(100));
    const QString book = PathIn("settings.zip");
    ZipWriter writer;
    writer.SetRootDir(PathIn("root"));
    writer.SetZipName(book);
    writer.NoCompressList() << "*.JPG"
                            << "*.png";
    writer.FilesList() << PathIn("root/*.*");
    EXPECT_EQ(writer.WriteArchive(), 3);
    const QJsonObject zip = InspectZip(book);
    for (const char* name : {"photo.jpg", "sub/art.PNG"}) {
        EXPECT_EQ(EntryNamed(zip, name)["method"].toInt(), 0) << name;
        EXPECT_EQ(EntryNamed(zip, name)["flags"].toInt(), 0) << name;
    }
    EXPECT_EQ(EntryNamed(zip, "page.html")["method"].toInt(), 8);
    EXPECT_TRUE(zip["testzip"].isNull());
}
