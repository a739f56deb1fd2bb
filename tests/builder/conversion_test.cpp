#include "builder/workflow/conversion.h"
#include "tests/builder/recording_ui.h"
#include "tests/builder/xml_reading.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConversionTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        places_ = {PathIn("program/installation"), PathIn("program/epubfiles")};
        WriteTestFile(places_.stagingRoot + "/mimetype", "application/epub+zip");
        WriteTestFile(places_.stagingRoot + "/META-INF/container.xml", "<container/>");
    }

    // A picture file, told apart from others by the note it carries.
    QString Picture(const QString& relativePath)
    {
        const QString path = PathIn("pictures/" + relativePath);
        WriteTestFile(path, SmallJpeg(("picture " + relativePath).toUtf8()));
        return path;
    }

    ConversionResult Convert(const QStringList& rows, const BookSettings& settings)
    {
        return ConvertBook(rows, settings, places_, ui_);
    }

    QString ContentPath() const { return places_.stagingRoot + "/OEBPS"; }

    QStringList ContentFolder() const { return FolderNames(ContentPath()); }

    QByteArray ContentFile(const QString& name) const { return ReadTestFile(ContentPath() + "/" + name); }

    ConversionPlaces places_;
    RecordingUi ui_;
};

TEST_F(ConversionTest, AnEmptyPageListTouchesNothing)
{
    WriteTestFile(ContentPath() + "/left.txt", "from before");
    EXPECT_EQ(Convert({}, {"T", "A", "", PathIn("out")}), ConversionResult::NothingToConvert);
    EXPECT_TRUE(ui_.events.isEmpty());
    EXPECT_EQ(ContentFolder(), QStringList({"left.txt"}));
    EXPECT_FALSE(QFileInfo::exists(PathIn("out")));
}

TEST_F(ConversionTest, TheContentFolderHoldsExactlyThisConversionsFiles)
{
    const BookSettings noOutput{"T", "A", Picture("art/front.jpg"), ""};
    Convert({Picture("a.jpg"), Picture("b.jpg"), Picture("c.jpg")}, noOutput);
    EXPECT_EQ(ContentFolder(), QStringList({"a.jpg", "b.jpg", "c.jpg", "cover.html", "fb.ncx", "fb.opf", "front.jpg",
                                            "page1.html", "page2.html", "page3.html", "stylesheet.css"}));

    // A second run regenerates the folder: nothing of the first is left.
    Convert({Picture("d.jpg")}, {"T", "A", "", ""});
    EXPECT_EQ(ContentFolder(), QStringList({"d.jpg", "fb.ncx", "fb.opf", "page1.html", "stylesheet.css"}));
    EXPECT_EQ(ContentFile("d.jpg"), SmallJpeg("picture d.jpg"));
    EXPECT_TRUE(ContentFile("page1.html").contains("<img src=\"d.jpg\" alt=\"Page 1\" />"));
    // The installation data beside the content folder is left alone.
    EXPECT_EQ(ReadTestFile(places_.stagingRoot + "/mimetype"), "application/epub+zip");
}

TEST_F(ConversionTest, SettingsAreCheckedAfterTheDocumentsInTheirOrder)
{
    const QStringList rows = {Picture("a.jpg")};
    EXPECT_EQ(Convert(rows, {"", "", "", ""}), ConversionResult::SettingMissing);
    EXPECT_EQ(ui_.events, QStringList({"busy", "idle", "message|Note!|Please set the saving path!"}));
    EXPECT_TRUE(ContentFolder().contains("fb.opf"));
    EXPECT_TRUE(ContentFolder().contains("fb.ncx"));

    ui_.events.clear();
    Convert(rows, {"", "A", "", PathIn("out")});
    EXPECT_EQ(ui_.events.last(), "message|Note!|Please set the book title!");

    ui_.events.clear();
    Convert(rows, {"T", "", "", PathIn("out")});
    EXPECT_EQ(ui_.events.last(), "message|Note!|Please set the author name!");
    EXPECT_FALSE(QFileInfo::exists(PathIn("out")));
}

TEST_F(ConversionTest, PicturesThatCannotBeCopiedFailTheConversionNamingEachOne)
{
    const QString book = PathIn("out/T.epub");
    WriteTestFile(book, "the earlier book");
    QStringList rows = {PathIn("pictures/gone.jpg"), Picture("b.jpg"), PathIn("pictures")};
    for (int i = 0; i < 10; ++i) {
        rows << PathIn(QString("pictures/missing%1.jpg").arg(i));
    }
    // Replacing the earlier book was agreed to; the pictures still keep the new one from being written.
    ui_.overwriteAnswer = true;
    EXPECT_EQ(Convert(rows, {"T", "A", "", PathIn("out")}), ConversionResult::Failed);
    ASSERT_EQ(ui_.events.size(), 4);
    const QStringList lines = ui_.events.at(3).split('\n');
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "error||Failed to build: " + book);
    EXPECT_EQ(lines[1], "Cannot read picture: " + PathIn("pictures/gone.jpg") + " (No such file or directory)");
    EXPECT_EQ(lines[2], "Cannot read picture: " + PathIn("pictures") + " (not a regular file)");
    EXPECT_EQ(lines[11], "and 2 more");
    EXPECT_EQ(ReadTestFile(book), "the earlier book");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));
}

TEST_F(ConversionTest, WhatStandsInTheBooksWayIsNamed)
{
    // A folder at the book's path, a file where the output folder should be made.
    QDir().mkpath(PathIn("out/T.epub"));
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::Failed);
    EXPECT_EQ(ui_.events.last(), "error||Failed to build: " + PathIn("out/T.epub") + "\nA folder of that name exists.");

    WriteTestFile(PathIn("file"), "in the way");
    Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("file/out")});
    EXPECT_TRUE(ui_.events.last().endsWith("\nCannot create the folder " + PathIn("file/out") + ": Not a directory"))
        << ui_.events.last().toStdString();

    // A title or author that a book cannot hold is refused before anything is touched.
    ui_.events.clear();
    try {
        Convert({Picture("a.jpg")}, {"T", "A\u0001B", "", PathIn("out")});
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "The author name holds the character U+0001, which a book cannot hold.");
    }
    EXPECT_TRUE(ui_.events.isEmpty());
}

TEST_F(ConversionTest, TwoPicturesOfTheSameNameGetTwoFiles)
{
    const QString first = Picture("a/x.jpg");
    const QString second = Picture("b/x.jpg");
    Convert({first, second, first}, {"T", "A", Picture("c/X.jpg"), ""});
    EXPECT_EQ(ContentFile("x.jpg"), SmallJpeg("picture a/x.jpg"));
    EXPECT_EQ(ContentFile("x-2.jpg"), SmallJpeg("picture b/x.jpg"));
    EXPECT_EQ(ContentFile("X-3.jpg"), SmallJpeg("picture c/X.jpg"));
    EXPECT_TRUE(ContentFile("page1.html").contains("<img src=\"x.jpg\" alt=\"Page 1\" />"));
    EXPECT_TRUE(ContentFile("page2.html").contains("<img src=\"x-2.jpg\" alt=\"Page 2\" />"));
    EXPECT_TRUE(ContentFile("page3.html").contains("<img src=\"x.jpg\" alt=\"Page 3\" />"));
    EXPECT_TRUE(ContentFile("cover.html").contains("<img src=\"X-3.jpg\" alt=\"Cover\" />"));
    const QByteArray opf = ContentFile("fb.opf");
    EXPECT_TRUE(opf.contains("<item id=\"cover-image\" href=\"X-3.jpg\" media-type=\"image/jpeg\"/>"));
    EXPECT_TRUE(opf.contains("<item id=\"image1\" href=\"x.jpg\" media-type=\"image/jpeg\"/>"));
    EXPECT_TRUE(opf.contains("<item id=\"image2\" href=\"x-2.jpg\" media-type=\"image/jpeg\"/>"));
    EXPECT_FALSE(opf.contains("image3"));
}

TEST_F(ConversionTest, PicturesAreCopiedWholeWithTheirDatesWithinAndAcrossFileSystems)
{
    // Larger than one block of the copy, and not a multiple of it: a picture followed by other data, as a
    // phone's motion photo carries its video.
    QByteArray bytes = SmallJpeg();
    for (qsizetype i = 0; i < 2500000; ++i) {
        bytes += static_cast<char>((i * 7919) >> 5);
    }
    const QString picture = PathIn("pictures/big.jpg");
    WriteTestFile(picture, bytes);
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QDateTime taken = QDateTime::fromSecsSinceEpoch(1234567890);
    ASSERT_TRUE(file.setFileTime(taken, QFileDevice::FileModificationTime));
    file.close();

    // Staging on tmpfs puts the copy across two file systems, where the kernel cannot share blocks.
    QTemporaryDir tmpfs("/dev/shm/tamboril-test-XXXXXX");
    for (const QString& root : {PathIn("program"), tmpfs.path()}) {
        places_.stagingRoot = root + "/epubfiles";
        Convert({picture}, {"T", "A", "", ""});
        EXPECT_EQ(ContentFile("big.jpg"), bytes) << root.toStdString();
        EXPECT_EQ(QFileInfo(ContentPath() + "/big.jpg").lastModified(), taken) << root.toStdString();
    }
}

TEST_F(ConversionTest, ADocumentThatCannotBeWrittenEndsTheCommandWithItsError)
{
    // The staging root is a file, so the content folder cannot be made.
    WriteTestFile(PathIn("blocked"), "not a folder");
    EXPECT_ANY_THROW(ConvertBook({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}, {{}, PathIn("blocked")}, ui_));
    EXPECT_EQ(ui_.events, QStringList({"busy", "idle"}));
    EXPECT_FALSE(QFileInfo::exists(PathIn("out")));
}

TEST_F(ConversionTest, AnExistingBookStaysWhenTheAnswerIsNo)
{
    const QString book = PathIn("out/My Book.epub");
    WriteTestFile(book, "the earlier book");
    const QDateTime written = QFileInfo(book).lastModified();
    ui_.overwriteAnswer = false;

    EXPECT_EQ(Convert({Picture("a.jpg")}, {"My Book", "A", "", PathIn("out")}), ConversionResult::ReplaceDeclined);
    EXPECT_EQ(ui_.events, QStringList({"busy", "ask|Information|The file is existing. Overwrite?", "idle"}));
    EXPECT_EQ(ui_.dispatchCount, 0) << "asked before the pages were prepared";
    EXPECT_EQ(ReadTestFile(book), "the earlier book");
    EXPECT_EQ(QFileInfo(book).lastModified(), written);
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"My Book.epub"}));
}

TEST_F(ConversionTest, ASuccessfulRunWritesTheBookReportsItAndOpensTheFolder)
{
    // The output folder lies two levels below an existing folder: both levels are made.
    const QString output = PathIn("out/books/new");
    EXPECT_EQ(Convert({Picture("a.jpg"), Picture("b.jpg")}, {"My Book", "A", "", output}),
              ConversionResult::BookWritten);
    const QString book = output + "/My Book.epub";
    EXPECT_EQ(ui_.events,
              QStringList({"busy", "idle", "success|Congratulation|Successed to build: " + book, "open||" + output}));
    EXPECT_TRUE(ReadTestFile(book).startsWith("PK\x03\x04"));
    EXPECT_GT(ui_.dispatchCount, 0);
}

TEST_F(ConversionTest, TheBookPathIsJoinedWithoutADoubledSeparator)
{
    QDir().mkpath(PathIn("out"));
    Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out") + "/"});
    EXPECT_EQ(ui_.events.at(2), "success|Congratulation|Successed to build: " + PathIn("out") + "/T.epub");
    EXPECT_TRUE(QFileInfo::exists(PathIn("out/T.epub")));
}

TEST_F(ConversionTest, AFailedPackingIsReportedAndNothingIsOpened)
{
    // The staging root lacks the file every book opens with.
    QFile::remove(places_.stagingRoot + "/mimetype");
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::Failed);
    ASSERT_EQ(ui_.events.size(), 3);
    EXPECT_EQ(ui_.events.at(1), "idle");
    EXPECT_EQ(ui_.events.at(2), "error||Failed to build: " + PathIn("out") + "/T.epub\nCannot open file \""
                                    + places_.stagingRoot + "/mimetype\". No such file or directory");
    EXPECT_TRUE(FolderNames(PathIn("out")).isEmpty());
}

TEST_F(ConversionTest, AReplacedBookIsDeletedOnlyOnceTheNewOneIsComplete)
{
    const QString book = PathIn("out/T.epub");
    WriteTestFile(book, "the earlier book");
    ui_.overwriteAnswer = true;

    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::BookWritten);
    EXPECT_TRUE(ReadTestFile(book).startsWith("PK\x03\x04"));
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));
}

TEST_F(ConversionTest, AStopWhileStagingOrPackingLeavesTheEarlierBookAndSaysNothing)
{
    const QString book = PathIn("out/T.epub");
    WriteTestFile(book, "the earlier book");
    ui_.overwriteAnswer = true;
    ui_.cancel = true;
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::Canceled);
    EXPECT_EQ(ui_.events, QStringList({"busy", "ask|Information|The file is existing. Overwrite?", "idle"}))
        << "stopped while staging, after the question";
    EXPECT_EQ(ReadTestFile(book), "the earlier book");

    ui_.events.clear();
    ui_.cancel = false;
    // The first dispatch comes as the picture is staged, the next ones while the book is packed.
    ui_.dispatchCount = 0;
    ui_.onDispatch = [this] { ui_.cancel = ui_.dispatchCount > 1; };
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::Canceled);
    EXPECT_EQ(ui_.events, QStringList({"busy", "ask|Information|The file is existing. Overwrite?", "idle"}));
    EXPECT_EQ(ReadTestFile(book), "the earlier book");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"})) << "no temporary book is left";
}

TEST_F(ConversionTest, ABookThatAppearsWithoutConsentIsNeverReplaced)
{
    // No book was there at the check, so nothing was asked; one appears while this one is packed.
    const QString book = PathIn("out/T.epub");
    ui_.onDispatch = [&] {
        // Once the book is being packed under its temporary name.
        const QStringList packing =
            QDir(PathIn("out")).entryList({".tamboril-unfinished-*"}, QDir::Files | QDir::Hidden);
        if (!packing.isEmpty() && !QFileInfo::exists(book)) {
            WriteTestFile(book, "a book that appeared");
        }
    };
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::Failed);
    EXPECT_EQ(ui_.events.last(), "error||Failed to build: " + book + "\nThe file is existing.");
    EXPECT_EQ(ReadTestFile(book), "a book that appeared");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));

    // One that appears while the pages are prepared is asked about once they are.
    QFile::remove(book);
    ui_.events.clear();
    ui_.dispatchCount = 0;
    ui_.onDispatch = [&] {
        if (!QFileInfo::exists(book)) {
            WriteTestFile(book, "a book that appeared");
        }
    };
    EXPECT_EQ(Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")}), ConversionResult::ReplaceDeclined);
    EXPECT_EQ(ui_.events, QStringList({"busy", "ask|Information|The file is existing. Overwrite?", "idle"}));
    EXPECT_EQ(ReadTestFile(book), "a book that appeared");
}

// The package document's identifier and the navigation document's uid, as Info-ZIP's unzip reads them from the
// book.
std::pair<QString, QString> IdentifiersIn(const QString& book)
{
    QString opf;
    QString ncx;
    RunProgram("unzip", {"-p", book, "OEBPS/fb.opf"}, &opf);
    RunProgram("unzip", {"-p", book, "OEBPS/fb.ncx"}, &ncx);
    const QString uid = QRegularExpression(R"re(<meta name="dtb:uid" content="([^"]*)"/>)re").match(ncx).captured(1);
    return {FirstElementText(opf.toUtf8(), "http://purl.org/dc/elements/1.1/", "identifier"), uid};
}

TEST_F(ConversionTest, AReplacedBookKeepsItsIdentifierAndANewBookGetsItsOwn)
{
    ui_.overwriteAnswer = true;
    Convert({Picture("a.jpg")}, {"T", "A", "", PathIn("out")});
    const auto [first, firstUid] = IdentifiersIn(PathIn("out/T.epub"));
    EXPECT_TRUE(QRegularExpression("^urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")
                    .match(first)
                    .hasMatch())
        << first.toStdString();
    EXPECT_EQ(firstUid, first);

    // Replacing the book, with other pages, keeps what readers and libraries know it by.
    Convert({Picture("b.jpg"), Picture("c.jpg")}, {"T", "A", "", PathIn("out")});
    EXPECT_EQ(IdentifiersIn(PathIn("out/T.epub")), std::make_pair(first, first));

    // Another book, and a book replacing a file that is not a book of ours, get identifiers of their own.
    Convert({Picture("a.jpg")}, {"U", "A", "", PathIn("out")});
    const QString other = IdentifiersIn(PathIn("out/U.epub")).first;
    WriteTestFile(PathIn("out/V.epub"), "not a book");
    Convert({Picture("a.jpg")}, {"V", "A", "", PathIn("out")});
    const QString replacingNoBook = IdentifiersIn(PathIn("out/V.epub")).first;
    EXPECT_EQ(QSet<QString>({first, other, replacingNoBook}).size(), 3);
    EXPECT_TRUE(replacingNoBook.startsWith("urn:uuid:"));
}

}  // namespace
