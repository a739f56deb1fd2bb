// Packing on worker threads: the archive's bytes do not depend on how many there are, the writer gets every file
// back in list order within the memory limits, and a cancel leaves no book, no file and no thread behind.
#include "archive/file_list.h"
#include "archive/packing_hooks.h"
#include "archive/packing_pool.h"
#include "archive/zip_errors.h"
#include "archive/zip_folder.h"
#include "archive/zip_writer.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <thread>

namespace {

class ZipParallelTest : public TempFolderTest {
protected:
    // Packs `folder` as ZipFolder does, with the given number of worker threads, and returns the archive's bytes.
    QByteArray PackWith(const QString& folder, int workers)
    {
        const QString archive = PathIn(QString("packed-%1.zip").arg(workers));
        QFile::remove(archive);
        ZipWriter writer;
        writer.SetRootDir(folder);
        writer.SetFirstStoredEntry("mimetype");
        writer.SetWorkerThreads(workers);
        writer.SetZipName(archive);
        writer.FilesList() << folder + "/*.*";
        writer.WriteArchive();
        return ReadTestFile(archive);
    }
};

// The threads of this process.
int ThreadCount()
{
    return static_cast<int>(FolderNames("/proc/self/task").size());
}

// The file at `path`, stored or deflated.
ListedFile Listed(const QString& path, bool store)
{
    return {path, path.toUtf8(), store ? EntryMethod::Store : EntryMethod::Deflate, 0};
}

// Takes the open file's blocks from the pool up to its outcome; the bytes go to `data`.
PackedData TakeFile(PackingPool& pool, QByteArray* data)
{
    for (;;) {
        PackedBlock block = pool.NextBlock();
        if (block.end) {
            return *block.end;
        }
        data->append(block.buffer.data(), block.size);
        pool.GiveBack(std::move(block.buffer));
    }
}

}  // namespace

TEST_F(ZipParallelTest, OneWorkerAndSeveralWriteTheSameBytes)
{
    WriteTestFile(PathIn("small/mimetype"), "application/epub+zip");
    WriteTestFile(PathIn("small/OEBPS/page1.html"), "<html/>");

    // Files larger than a block, of data that does and does not compress, among small and empty ones, so that
    // workers finish out of order and the file being written streams through in many blocks; of two names that
    // differ only in case, the one the walk meets second is dropped after a worker has packed it.
    WriteTestFile(PathIn("mixed/mimetype"), "application/epub+zip");
    WriteTestFile(PathIn("mixed/OEBPS/photo1.jpg"), RandomBytes(3000000, 1));
    WriteTestFile(PathIn("mixed/OEBPS/page1.html"), QByteArray("<p>page one</p>\n").repeated(30000));
    WriteTestFile(PathIn("mixed/OEBPS/empty.txt"), "");
    WriteTestFile(PathIn("mixed/OEBPS/photo2.jpg"), RandomBytes(700000, 2));
    WriteTestFile(PathIn("mixed/OEBPS/PHOTO2.jpg"), RandomBytes(600000, 4));
    WriteTestFile(PathIn("mixed/OEBPS/.hidden"), "left out");
    WriteTestFile(PathIn("mixed/OEBPS/Kaffee-\u00fc.jpg"), RandomBytes(1000, 3));
    for (int i = 0; i < 20; ++i) {
        WriteTestFile(PathIn(QString("mixed/OEBPS/p%1.html").arg(i)), QByteArray("<p/>").repeated(i * 50));
    }

    WriteTestFile(PathIn("one-empty/empty.txt"), "");

    for (const auto& [tree, entries] : {std::pair{"small", 2}, {"mixed", 26}, {"one-empty", 1}}) {
        SCOPED_TRACE(tree);
        const QByteArray one = PackWith(PathIn(tree), 1);
        EXPECT_EQ(PackWith(PathIn(tree), 2), one);
        EXPECT_EQ(PackWith(PathIn(tree), 5), one);
        EXPECT_TRUE(UnzipTestPasses(PathIn("packed-5.zip")));
        EXPECT_EQ(InspectZip(PathIn("packed-5.zip"), true)["count"].toInt(), entries);
    }

    // More entries than the 16-bit counts hold: the Zip64 records come out the same too.
    MakeManyEmptyFiles(PathIn("many"), 65535);
    const QByteArray one = PackWith(PathIn("many"), 1);
    EXPECT_EQ(PackWith(PathIn("many"), 3), one);
    EXPECT_EQ(InspectZip(PathIn("packed-3.zip"), true)["count"].toInt(), 65535);
}

TEST_F(ZipParallelTest, CancelStopsTheWorkersAndLeavesNoBookNoFileNoThread)
{
    for (int i = 0; i < 8; ++i) {
        WriteTestFile(PathIn(QString("root/OEBPS/photo%1.jpg").arg(i)), RandomBytes(1500000, static_cast<unsigned>(i)));
    }
    // A first packing lets any thread that a runtime starts once, at the first thread (ThreadSanitizer's), be
    // there before the count.
    WriteTestFile(PathIn("first/page.html"), "<html/>");
    ASSERT_TRUE(ZipFolder(PathIn("first.epub"), PathIn("first")));
    const QStringList stagingBefore = FolderNames(PathIn("root/OEBPS"));
    const QStringList rootBefore = FolderNames(Root());
    const int threadsBefore = ThreadCount();
    const std::thread::id caller = std::this_thread::get_id();

    // Every hook runs on the thread that packs; the cancel comes while the second picture is being written.
    int offThread = 0;
    int threadsWhilePacking = 0;
    qint64 written = 0;
    const auto onCaller = [&] { offThread += std::this_thread::get_id() == caller ? 0 : 1; };
    PackingHooks hooks;
    hooks.dispatchEvents = [&] {
        onCaller();
        threadsWhilePacking = std::max(threadsWhilePacking, ThreadCount());
    };
    hooks.progress = [&](qint64 done, qint64) {
        onCaller();
        written = done;
    };
    hooks.cancelRequested = [&] {
        onCaller();
        return written > 1600000;
    };
    hooks.shortRead = [&](const QString&, qint64, qint64) { onCaller(); };
    QString reason;
    EXPECT_FALSE(ZipFolder(PathIn("book.epub"), PathIn("root"), hooks, &reason));
    EXPECT_EQ(reason, "User Aborted Operation");
    EXPECT_EQ(offThread, 0) << "a hook was called from a worker";
    EXPECT_GT(threadsWhilePacking, threadsBefore) << "no worker thread packed";
    EXPECT_EQ(ThreadCount(), threadsBefore) << "a worker thread outlived the packing";
    EXPECT_EQ(FolderNames(Root()), rootBefore) << "no book and no temporary file";
    EXPECT_EQ(FolderNames(PathIn("root/OEBPS")), stagingBefore);
}

TEST_F(ZipParallelTest, PoolWithRoomForOneBlockHandsFilesBackInOrderAndRaisesFailuresInOrder)
{
    const QList<QByteArray> contents = {RandomBytes(400000, 1),
                                        QByteArray("text ").repeated(100000),
                                        {},
                                        RandomBytes(300000, 2),
                                        RandomBytes(200000, 3),
                                        "last"};
    std::vector<ListedFile> sources;
    for (qsizetype i = 0; i < contents.size(); ++i) {
        WriteTestFile(PathIn(QString("f%1").arg(i)), contents[i]);
        sources.push_back(Listed(PathIn(QString("f%1").arg(i)), i == 5));
    }

    // Room for one block: the workers ahead of the writer wait, and the file being written keeps streaming.
    PackingPool::Settings settings;
    settings.workers = 3;
    settings.maxBytesWaiting = 70000;
    {
        const FileList list(sources);
        PackingPool pool(list, settings);
        for (qsizetype i = 0; i < static_cast<qsizetype>(sources.size()); ++i) {
            SCOPED_TRACE(sources[static_cast<size_t>(i)].path.toStdString());
            const std::optional<EntryFacts> facts = pool.OpenNext();
            ASSERT_TRUE(facts);
            const QByteArray& expected = contents[i];
            EXPECT_EQ(facts->size, expected.size());
            if (i == 3) {
                pool.Drop();
                continue;
            }
            QByteArray data;
            const PackedData outcome = TakeFile(pool, &data);
            EXPECT_EQ(sources[static_cast<size_t>(i)].method == EntryMethod::Store ? data : InflateRaw(data), expected);
            EXPECT_EQ(outcome.crc32, Crc32Of(expected));
            EXPECT_EQ(outcome.uncompressedSize, expected.size());
            EXPECT_EQ(outcome.compressedSize, data.size());
        }
    }

    // A file that is gone or no regular file fails the packing at its own place in the list, after the files
    // before it.
    ASSERT_TRUE(QDir().mkpath(PathIn("folder")));
    for (const char* unreadable : {"gone", "folder"}) {
        const FileList list(
            {Listed(PathIn("f5"), true), Listed(PathIn(unreadable), false), Listed(PathIn("f0"), false)});
        PackingPool pool(list, settings);
        ASSERT_TRUE(pool.OpenNext());
        QByteArray stored;
        EXPECT_EQ(TakeFile(pool, &stored).uncompressedSize, 4);
        EXPECT_THROW(pool.OpenNext(), EFReadError) << unreadable;
    }

    // A pool left half-way stops its workers; a worker's failure is raised at its own file, after the files
    // before it.
    settings.level = 12;
    const FileList list({Listed(PathIn("f5"), true), Listed(PathIn("f0"), false), Listed(PathIn("f1"), false)});
    PackingPool failing(list, settings);
    ASSERT_TRUE(failing.OpenNext());
    QByteArray stored;
    EXPECT_EQ(TakeFile(failing, &stored).uncompressedSize, 4);
    ASSERT_TRUE(failing.OpenNext());
    EXPECT_THROW(failing.NextBlock(), EZCompressionError);
}
