// Packing a staged book: every file that the book must hold but that cannot be read fails it, naming the file and
// the system's reason, and leaves no book.
#include "builder/staging/staged_book.h"
#include "builder/workflow/book_formats.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// No file descriptor numbered `free` or above may be opened, for the length of one test: a process that has used up
// its descriptors, without opening a thousand files.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t free)
    {
        ::getrlimit(RLIMIT_NOFILE, &previous_);
        const rlimit reduced{free, previous_.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &reduced);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &previous_); }

private:
    rlimit previous_{};
};

// The lowest descriptor number that is free now.
int LowestFreeDescriptor()
{
    const int probe = ::dup(STDIN_FILENO);
    ::close(probe);
    return probe;
}

// Runs the packing as an unprivileged user when the tests run as root, for whom no file is unreadable.
class UnprivilegedUser {
public:
    UnprivilegedUser() : switched_(::geteuid() == 0 && ::seteuid(kNobody) == 0) {}
    ~UnprivilegedUser()
    {
        if (switched_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    bool Possible() const { return switched_ || ::geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool switched_;
};

}  // namespace

// Every file that the book must hold but that cannot be read fails the packing, naming the file and the
// system's reason, and leaves no book: nothing is left out in silence.
class StagedBookFailureTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        WriteTestFile(PathIn("root/mimetype"), "application/epub+zip");
        WriteTestFile(PathIn("root/OEBPS/page1.html"), "<html/>");
        WriteTestFile(PathIn("root/OEBPS/big.jpg"), QByteArray(400000, 'x'));
        WriteTestFile(PathIn("root/META-INF/container.xml"), "<container/>");
        ASSERT_TRUE(QDir().mkpath(PathIn("out")));
    }

    // Packs the book, expecting a failure whose text begins with `reason`; nothing may be left in "out".
    void ExpectFailure(const QString& reason, const PackingHooks& hooks = {})
    {
        QString failure;
        EXPECT_FALSE(
            PackStagedBook(PathIn("out/book.epub"), PathIn("root"), DefaultBookFormat(), {}, false, hooks, &failure));
        EXPECT_TRUE(failure.startsWith(reason)) << failure.toStdString();
        EXPECT_EQ(FolderNames(PathIn("out")), QStringList());
    }
};

TEST_F(StagedBookFailureTest, AFileThatCannotBeOpenedOrIsGoneFailsTheBook)
{
    // A file goes once the walk has found it: events get through after each of the three files the walk finds, and
    // once more before the packing begins.
    int passes = 0;
    PackingHooks hooks;
    hooks.dispatchEvents = [&] {
        if (++passes == 4) {
            QFile::remove(PathIn("root/OEBPS/page1.html"));
        }
    };
    ExpectFailure("Cannot open file \"" + PathIn("root/OEBPS/page1.html") + "\". No such file or directory", hooks);

    // The workers find no descriptor left to open a file with: the archive took the last one. Nothing but the
    // packing runs meanwhile, since the sanitizers' own checks may need descriptors too; the packing above has
    // let them learn what they check.
    QString failure;
    bool packed = true;
    {
        const DescriptorLimit limit(static_cast<rlim_t>(LowestFreeDescriptor() + 1));
        packed = PackStagedBook(PathIn("out/book.epub"), PathIn("root"), DefaultBookFormat(), {}, false, {}, &failure);
    }
    EXPECT_FALSE(packed);
    EXPECT_EQ(failure, "Cannot open file \"" + PathIn("root/mimetype") + "\". Too many open files");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList());
}

TEST_F(StagedBookFailureTest, AFolderThatCannotBeListedOrAFileThatCannotBeReadFailsTheBook)
{
    // Reading a process's memory at address 0 fails with an input/output error, as a failing disk does.
    ASSERT_EQ(::symlink("/proc/self/mem", QFile::encodeName(PathIn("root/OEBPS/failing.jpg")).constData()), 0);
    ExpectFailure("Cannot read file \"" + PathIn("root/OEBPS/failing.jpg") + "\". Input/output error");
    QFile::remove(PathIn("root/OEBPS/failing.jpg"));

    WriteTestFile(PathIn("root/OEBPS/locked/x.jpg"), "picture");
    ASSERT_EQ(::chmod(QFile::encodeName(PathIn("root/OEBPS/locked")).constData(), 0), 0);
    for (const QString& folder : {Root(), PathIn("root"), PathIn("root/OEBPS"), PathIn("out")}) {
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    }
    {
        const UnprivilegedUser user;
        if (!user.Possible()) {
            GTEST_SKIP() << "cannot run the packing without the right to list every folder";
        }
        ExpectFailure("Cannot list folder \"" + PathIn("root/OEBPS/locked/") + "\". Permission denied");
    }
    ASSERT_TRUE(QDir(PathIn("root/OEBPS/locked")).removeRecursively());

    ASSERT_TRUE(QDir(PathIn("root/META-INF")).removeRecursively());
    ExpectFailure("Cannot list folder \"" + PathIn("root/META-INF/") + "\". No such file or directory");
}
