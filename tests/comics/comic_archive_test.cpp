#include "comics/comic_container.h"
#include "comics/comic_error.h"
#include "comics/comic_reader.h"

#include "tests/comics/comics_test.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QImage>

#include <map>
#include <thread>
#include <vector>

namespace {

QByteArray Png()
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

class ComicArchiveTest : public ComicsTest {
protected:
    // A comic as people keep one: pictures in folders, named as scanners and shops name them, beside what is no
    // page. Returns the pictures by their paths.
    std::map<QString, QByteArray> MakeBook()
    {
        const std::map<QString, QByteArray> pictures = {
            {"Chapter 10/001.jpg", SmallJpeg("chapter 10, page 1")},
            {"Chapter 2/9.jpg", SmallJpeg("chapter 2, page 9")},
            {"Chapter 2/10.jpg", SmallJpeg("chapter 2, page 10")},
            {"Chapter 2/11.png", Png()},
            {"cover", SmallJpeg("a cover without an extension")},
        };
        for (const auto& [path, bytes] : pictures) {
            WriteTestFile(PathIn("book/" + path), bytes);
        }
        WriteTestFile(PathIn("book/ComicInfo.xml"), "<ComicInfo><Title>Stored title</Title></ComicInfo>");
        WriteTestFile(PathIn("book/Thumbs.db"), QByteArray(600, '\x07'));
        WriteTestFile(PathIn("book/notes.txt"), "Scanned by Ann.\n");
        WriteTestFile(PathIn("book/.DS_Store"), QByteArray(100, '\0'));
        WriteTestFile(PathIn("book/.hidden.jpg"), "not even a picture");
        WriteTestFile(PathIn("book/__MACOSX/Chapter 2/._9.jpg"), QByteArray("\x00\x05\x16\x07", 4) + "AppleDouble");
        WriteTestFile(PathIn("book/broken.jpg"), SmallJpeg("broken").left(3000));
        WriteTestFile(PathIn("book/story.jpg"), "Once upon a time.\n");
        WriteTestFile(PathIn("extras/sketch.jpg"), SmallJpeg("sketch"));
        Run("cd extras && zip -q -r ../book/extras.cbz .");
        return pictures;
    }
};

TEST_F(ComicArchiveTest, EveryKindOfArchiveGivesItsPicturesInNaturalOrderWithTheirBytes)
{
    const std::map<QString, QByteArray> pictures = MakeBook();
    // Each archive as the tool makes it; some named for another kind, which decides nothing.
    Run("cd book && zip -q -r ../zip.cbz .");
    Run("cd book && 7z a -bso0 -bsp0 ../7z-named-as-zip.cbz .");
    Run("tar -C book -cf tar.cbt .");
    Run("tar -C book -czf tar-gz.cbt .");
    Run("tar -C book -cjf tar-bz2.cbt.bz2 .");
    Run("tar -C book -cJf tar-xz.cbt.xz .");
    Make({"rar4", PathIn("rar4.cbr"), PathIn("book")});
    Make({"rar5", PathIn("rar5.cbr"), PathIn("book")});

    const QStringList order = {"Chapter 2/9.jpg", "Chapter 2/10.jpg", "Chapter 2/11.png", "Chapter 10/001.jpg",
                               "cover"};
    for (const QString name : {"zip.cbz", "7z-named-as-zip.cbz", "tar.cbt", "tar-gz.cbt", "tar-bz2.cbt.bz2",
                               "tar-xz.cbt.xz", "rar4.cbr", "rar5.cbr"}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = PathIn(name);
        ASSERT_EQ(ComicContainerKindOfFile(path), ComicContainerKind::Archive);
        const std::unique_ptr<ComicReader> reader = ComicReader::Open(path);
        const ComicListing listing = reader->List();
        EXPECT_EQ(PagePaths(listing), order);
        QStringList leftOut = listing.leftOut;
        leftOut.sort();
        EXPECT_EQ(leftOut, QStringList({path + " \u203A broken.jpg (the picture is cut short)",
                                        path + " \u203A extras.cbz (an archive inside the archive, not opened)",
                                        path + " \u203A story.jpg (not a picture)"}));
        ASSERT_TRUE(listing.comicInfo.has_value());
        EXPECT_EQ(listing.comicInfo->title, "Stored title");
        EXPECT_EQ(listing.pages[2].info.kind, PictureKind::Png);
        EXPECT_EQ(listing.pages[2].info.size, QSize(30, 20));

        // In page order, which is not the archive's, then the first page again: every page whole, byte for byte.
        for (const ComicPage& page : listing.pages) {
            EXPECT_EQ(reader->Read(page.member), pictures.at(page.member.path)) << page.member.path.toStdString();
        }
        EXPECT_EQ(reader->Read(listing.pages[0].member), pictures.at(order[0]));
        EXPECT_EQ(ComicMemberName(path, listing.pages[0].member.path), name + " \u203A Chapter 2/9.jpg");
    }
}

// The conversion reads pages on several threads at once, with a reader for each.
TEST_F(ComicArchiveTest, ReadersOnSeveralThreadsReadOneArchiveOrPdfAtOnce)
{
    const std::map<QString, QByteArray> pictures = MakeBook();
    Run("cd book && 7z a -bso0 -bsp0 ../book.cb7 .");
    Run("img2pdf 'book/Chapter 2/9.jpg' 'book/Chapter 2/10.jpg' 'book/Chapter 10/001.jpg' -o book.pdf");
    const std::vector<QByteArray> pdfPages = {pictures.at("Chapter 2/9.jpg"), pictures.at("Chapter 2/10.jpg"),
                                              pictures.at("Chapter 10/001.jpg")};
    std::vector<int> wholeReads(8, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < wholeReads.size(); ++t) {
        threads.emplace_back([&, t] {
            const bool pdf = t % 2 == 1;
            try {
                const std::unique_ptr<ComicReader> reader = ComicReader::Open(PathIn(pdf ? "book.pdf" : "book.cb7"));
                const ComicListing listing = reader->List();
                for (int i = 0; i < listing.pages.size(); ++i) {
                    const QByteArray expected =
                        pdf ? pdfPages.at(std::size_t(i)) : pictures.at(listing.pages[i].member.path);
                    wholeReads[t] += reader->Read(listing.pages[i].member) == expected ? 1 : 0;
                }
            } catch (const ComicError&) {
                wholeReads[t] = -1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wholeReads, std::vector<int>({5, 3, 5, 3, 5, 3, 5, 3}));
}

TEST_F(ComicArchiveTest, HostileArchivesAreRefusedNamingTheArchiveAndTheFile)
{
    WriteTestFile(PathIn("page.jpg"), SmallJpeg("page"));
    Make({"zip-names", PathIn("climbs.cbz"), "001.jpg", "../../evil.jpg"});
    Make({"zip-names", PathIn("windows-climbs.cbz"), "..\\evil.jpg"});
    Make({"zip-names", PathIn("absolute.cbz"), "/etc/evil.jpg"});
    Make({"zip-names", PathIn("drive.cbz"), "C:/evil.jpg"});
    Run("ln -s /etc/passwd link.jpg && zip -q -y symbolic.cbz page.jpg link.jpg");
    Run("cp page.jpg a.jpg && ln a.jpg b.jpg && tar -cf hard.cbt a.jpg b.jpg");
    Run("mkfifo pipe.jpg && tar -cf fifo.cbt pipe.jpg");
    // Headers that claim 4 GiB, and that claim a kilobyte of what inflates to 3 MiB.
    Make({"zip-lying", PathIn("huge.cbz"), "1000", "4294967280"});
    Make({"zip-lying", PathIn("bomb.cbz"), "3145728", "1000"});
    Make({"zip-many", PathIn("many.cbz"), "101"});
    Run("zip -q -P secret password.cbz page.jpg");
    Run("7z a -bso0 -bsp0 -psecret -mhe=on password-names.cb7 page.jpg");
    Run("7z a -bso0 -bsp0 -psecret password-data.cb7 page.jpg");
    for (const QString kind : {"zip", "7z", "tar"}) {
        Run(QStringLiteral("cp page.jpg p1.jpg && cp page.jpg p2.jpg && 7z a -bso0 -bsp0 -t%1 whole.%1 p1.jpg p2.jpg "
                           "&& head -c $(( $(stat -c %s whole.%1) / 2 )) whole.%1 > cut.%1 && rm whole.%1")
                .arg(kind));
    }
    const QStringList before = FolderNames(Root());

    struct Case {
        QString archive;
        QString member;
        QString reason;
        ComicLimits limits;
    };
    const ComicLimits oneMebibyte{1 << 20, kMaxMembers};
    const std::vector<Case> cases = {
        {"climbs.cbz", "../../evil.jpg", "its name leads out of the archive's folders", {}},
        // libarchive gives the backslashes of names made on Windows as slashes.
        {"windows-climbs.cbz", "../evil.jpg", "its name leads out of the archive's folders", {}},
        {"absolute.cbz", "/etc/evil.jpg", "its name is an absolute path", {}},
        {"drive.cbz", "C:/evil.jpg", "its name starts with a drive letter", {}},
        {"symbolic.cbz", "link.jpg", "a symbolic link, which this program does not follow", {}},
        {"hard.cbt", "b.jpg", "a hard link, which this program does not follow", {}},
        {"fifo.cbt", "pipe.jpg", "a special file (a device, a pipe or a socket)", {}},
        {"huge.cbz", "001.jpg", "it claims 4.00 GiB, more than the 256 MiB this program reads of one file", {}},
        {"bomb.cbz", "001.jpg", "it grows past 1 MiB when unpacked, the most this program reads of one file",
         oneMebibyte},
        {"many.cbz", "", "it holds more than 100 files, the most this program reads of one archive", {1 << 20, 100}},
        {"password.cbz", "page.jpg", "protected by a password", {}},
        {"password-names.cb7", "", "protected by a password", {}},
        {"password-data.cb7", "page.jpg", "protected by a password", {}},
    };
    for (const Case& c : cases) {
        const QString path = PathIn(c.archive);
        const QString member = c.member.isEmpty() ? QString() : " \u203A " + c.member;
        EXPECT_EQ(Refusal(path, c.limits), path + member + " (" + c.reason + ")");
    }
    for (const QString cut : {"cut.zip", "cut.7z", "cut.tar"}) {
        EXPECT_TRUE(Refusal(PathIn(cut)).startsWith(PathIn(cut)) && Refusal(PathIn(cut)).contains("cut short"))
            << Refusal(PathIn(cut)).toStdString();
    }
    // Nothing of any of them was written anywhere.
    EXPECT_EQ(FolderNames(Root()), before);
}

}  // namespace
