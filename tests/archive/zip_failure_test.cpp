// Failures while packing: nothing partial is left behind, the staging tree stays as it was, and every failure
// names its reason. The general writer skips files it cannot read; a book fails on them, naming each.
#include "archive/byte_sink.h"
#include "archive/packing_hooks.h"
#include "archive/zip_errors.h"
#include "archive/zip_folder.h"
#include "archive/zip_writer.h"
#include "tests/archive/zip_test_support.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

class ZipFailureTest : public TempFolderTest {
protected:
    // A staging tree of a few files, one of them large enough to need several blocks.
    void MakeStaging()
    {
        WriteTestFile(PathIn("root/mimetype"), "application/epub+zip");
        WriteTestFile(PathIn("root/OEBPS/page1.html"), "<html/>");
        WriteTestFile(PathIn("root/OEBPS/big.jpg"), RandomBytes(400000, 11));
    }

    // Every path below the staging root with its content, to show that a failure left the tree alone.
    QMap<QString, QByteArray> StagingSnapshot()
    {
        QMap<QString, QByteArray> snapshot;
        for (const char* name : {"mimetype", "OEBPS/page1.html", "OEBPS/big.jpg"}) {
            snapshot[name] = ReadTestFile(PathIn(QString("root/") + name));
        }
        snapshot["*names*"] = (FolderNames(PathIn("root")) + FolderNames(PathIn("root/OEBPS"))).join('|').toUtf8();
        return snapshot;
    }
};

// ZipWriter configured as ZipFolder configures it, writing through a sink the test chooses.
class SinkWriter : public ZipWriter {
public:
    SinkWriter(const QString& archive, const QString& root,
               std::function<std::unique_ptr<ByteSink>(std::unique_ptr<ByteSink>)> wrap)
        : wrap_(std::move(wrap))
    {
        SetRootDir(root);
        SetZipName(archive);
        FilesList() << root + "/*.*";
    }

protected:
    std::unique_ptr<ByteSink> OpenArchiveSink(int descriptor) override
    {
        return wrap_(ZipWriter::OpenArchiveSink(descriptor));
    }

private:
    std::function<std::unique_ptr<ByteSink>(std::unique_ptr<ByteSink>)> wrap_;
};

// Refuses every write with the system error it is given, as a read-only or failing disk does.
class FailingSink final : public ByteSink {
public:
    FailingSink(std::unique_ptr<ByteSink> inner, int errorNumber) : inner_(std::move(inner)), error_(errorNumber) {}

    qint64 Write(const char*, qint64) override { return 0; }
    int ErrorNumber() const override { return error_; }
    bool Seek(qint64 position) override { return inner_->Seek(position); }
    qint64 Position() const override { return inner_->Position(); }

private:
    std::unique_ptr<ByteSink> inner_;
    int error_;
};

// The largest file this process may write, for the length of one test: a small file system without mounting one.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit reduced{limit, previous_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &reduced);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace

TEST_F(ZipFailureTest, ArchiveInAMissingFolderFailsAndCreatesNothing)
{
    MakeStaging();
    QString reason;
    EXPECT_FALSE(ZipFolder(PathIn("no/such/folder/book.epub"), PathIn("root"), {}, &reason));
    EXPECT_TRUE(reason.contains("book.epub")) << reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(PathIn("no")));
}

TEST_F(ZipFailureTest, ANameThatCouldLeaveTheArchiveFailsThePackingAndLeavesNothing)
{
    MakeStaging();
    // On this system a backslash is an ordinary character of a file name, but many readers split names there.
    WriteTestFile(PathIn("root/OEBPS/up\\..\\..\\esc.jpg"), "climbs out when read as a Windows path");
    QString reason;
    EXPECT_FALSE(ZipFolder(PathIn("book.epub"), PathIn("root"), {}, &reason));
    EXPECT_TRUE(reason.contains("esc.jpg")) << reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(PathIn("book.epub")));
}

TEST_F(ZipFailureTest, FullDiskHalfWayLeavesNoFileAndTheStagingTreeAlone)
{
    MakeStaging();
    const QMap<QString, QByteArray> before = StagingSnapshot();
    QString reason;
    bool packed = true;
    {
        const FileSizeLimit limit(100000);
        packed = ZipFolder(PathIn("book.epub"), PathIn("root"), {}, &reason);
    }
    EXPECT_FALSE(packed);
    EXPECT_EQ(reason, "Not enough room to write archive in " + Root());
    EXPECT_FALSE(QFileInfo::exists(PathIn("book.epub")));
    EXPECT_EQ(StagingSnapshot(), before);
}

TEST_F(ZipFailureTest, RefusedWritesRaiseTheirTextsAndClearTheList)
{
    MakeStaging();
    SinkWriter full(PathIn("full.epub"), PathIn("root"), [](std::unique_ptr<ByteSink> file) {
        return std::make_unique<FullDiskSink>(std::move(file), 5000);
    });
    try {
        full.WriteArchive();
        ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const ENotEnoughRoom& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), "Not enough room to write archive in " + Root());
    }
    EXPECT_TRUE(full.FilesList().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PathIn("full.epub")));

    SinkWriter failing(PathIn("failing.epub"), PathIn("root"), [](std::unique_ptr<ByteSink> file) {
        return std::make_unique<FailingSink>(std::move(file), EIO);
    });
    try {
        failing.WriteArchive();
        ADD_FAILURE() << "a failing disk went unnoticed";
    } catch (const ZipError& error) {
        EXPECT_STREQ(error.what(), "Cannot write archive. Input/output error");
    }

    SinkWriter noRewrite(PathIn("rewrite.epub"), PathIn("root"), [](std::unique_ptr<ByteSink> file) {
        return std::make_unique<NoRewriteSink>(std::move(file));
    });
    try {
        noRewrite.WriteArchive();
        ADD_FAILURE() << "a failed header rewrite went unnoticed";
    } catch (const ZipError& error) {
        EXPECT_STREQ(error.what(), "\nSeek error");
    }
    EXPECT_TRUE(noRewrite.FilesList().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PathIn("rewrite.epub")));
}

TEST_F(ZipFailureTest, CancelRequestStopsThePackingAndRemovesThePartialArchive)
{
    MakeStaging();
    int passes = 0;
    PackingHooks hooks;
    hooks.dispatchEvents = [&] { ++passes; };
    // ZipFolder's own pass and the walk's three come first; the request arrives while a file is being packed.
    hooks.cancelRequested = [&] { return passes > 4; };
    QString reason;
    EXPECT_FALSE(ZipFolder(PathIn("book.epub"), PathIn("root"), hooks, &reason));
    EXPECT_EQ(reason, "User Aborted Operation");
    EXPECT_GT(passes, 4);
    EXPECT_FALSE(QFileInfo::exists(PathIn("book.epub")));
}

TEST_F(ZipFailureTest, FileThatShrinksWhileReadIsReportedAndPackedAsRead)
{
    // Large enough that the workers, which read only a few blocks ahead of the writer, are still reading it when
    // the writer reports its first block.
    const QByteArray content = RandomBytes(2000000, 5);
    WriteTestFile(PathIn("root/shrinking.jpg"), content);
    PackingHooks hooks;
    // After the first block the file loses its content, as if another program truncated it.
    bool truncated = false;
    hooks.progress = [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, content.size());
        if (done > 0 && !truncated) {
            truncated = true;
            ASSERT_EQ(::truncate(QFile::encodeName(PathIn("root/shrinking.jpg")).constData(), 0), 0);
        }
    };
    QStringList reports;
    qint64 packed = -1;
    hooks.shortRead = [&](const QString& path, qint64 expected, qint64 actual) {
        reports << ShortReadText(path, expected, actual);
        EXPECT_EQ(path, PathIn("root/shrinking.jpg"));
        EXPECT_EQ(expected, content.size());
        packed = actual;
    };
    const QString book = PathIn("book.epub");
    ASSERT_TRUE(ZipFolder(book, PathIn("root"), hooks));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(PathIn("root/shrinking.jpg"))) << reports[0].toStdString();
    ASSERT_GT(packed, 0);
    ASSERT_LT(packed, content.size());

    const QJsonObject entry = EntryNamed(InspectZip(book), "shrinking.jpg");
    EXPECT_EQ(entry["size"].toInteger(), packed);
    EXPECT_EQ(entry["crc"].toInteger(), Crc32Of(content.left(packed)));
    EXPECT_EQ(UnzipEntry(book, "shrinking.jpg"), content.left(packed));
}
