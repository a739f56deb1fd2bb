#include "app/controls/png_button.h"
#include "app/labeled_edit.h"
#include "app/picture_box.h"
#include "tests/app/window/window_test_support.h"
#include "tests/pages/test_jpegs.h"
#include "tests/support/test_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Reads a book with Python's zipfile: whether every entry's CRC holds, the names, the picture
// each page document shows, and a digest of every picture.
const char* const kReadBook = R"py(
import hashlib, re, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book:
    print("bad", book.testzip())
    print(" ".join(sorted(book.namelist())))
    for name in ["OEBPS/page1.html", "OEBPS/page2.html", "OEBPS/page3.html", "OEBPS/cover.html"]:
        print(name, re.search(r'<img src="([^"]*)"', book.read(name).decode("utf-8")).group(1))
    for name in sorted(n for n in book.namelist() if n.endswith(".jpg")):
        print(name, hashlib.sha1(book.read(name)).hexdigest())
)py";

using WindowEndToEndTest = WindowTest;

QString Sha1Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

TEST_F(WindowEndToEndTest, PicturesAddedReorderedAndConvertedMakeABookThatZipfileReads)
{
    QMap<QString, QByteArray> pictures;
    pictures["a.jpg"] = MakeTestJpeg({280, 100});
    pictures["b.jpg"] = MakeTestJpeg({300, 400});
    pictures["c.jpg"] = MakeTestJpeg({500, 500});
    pictures["front.jpg"] = MakeTestJpeg({140, 168});
    for (auto picture = pictures.cbegin(); picture != pictures.cend(); ++picture) {
        WriteTestFile(PathIn("pictures/" + picture.key()), picture.value());
    }

    dialogs->pagePictures = {PathIn("pictures/a.jpg"), PathIn("pictures/b.jpg"), PathIn("pictures/c.jpg")};
    ClickAt(ControlPoint(*form->PNGButton2));
    DragRowTo(2, RowPoint(0));
    ClickAt(RowPoint(0));
    EXPECT_EQ(form->Image1->Picture().size(), QSize(166, 166));

    ClickAt(ControlPoint(*form->Edit1));
    QTest::keyClicks(form->Edit1, "Sea Shells");
    ClickAt(ControlPoint(*form->Edit2));
    QTest::keyClicks(form->Edit2, "Ann Author");
    dialogs->coverPicture = PathIn("pictures/front.jpg");
    ClickAt(ControlPoint(*form->PNGButton8));
    dialogs->folder = PathIn("books");
    ClickAt(ControlPoint(*form->PNGButton9));
    ClickAt(ControlPoint(*form->PNGButton4));

    const QString book = PathIn("books/Sea Shells.epub");
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "open cover||", "browse||",
                                            "plain|Congratulation|Successed to build: " + book,
                                            "open||" + QUrl::fromLocalFile(PathIn("books")).toString()}));

    QString report;
    QString errors;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kReadBook, book}, &report, &errors), 0) << errors.toStdString();
    QStringList expected = {
        "bad None",
        "META-INF/container.xml OEBPS/a.jpg OEBPS/b.jpg OEBPS/c.jpg OEBPS/cover.html OEBPS/fb.ncx OEBPS/fb.opf "
        "OEBPS/front.jpg OEBPS/page1.html OEBPS/page2.html OEBPS/page3.html OEBPS/stylesheet.css mimetype",
        "OEBPS/page1.html c.jpg",
        "OEBPS/page2.html a.jpg",
        "OEBPS/page3.html b.jpg",
        "OEBPS/cover.html front.jpg",
    };
    for (auto picture = pictures.cbegin(); picture != pictures.cend(); ++picture) {
        expected << "OEBPS/" + picture.key() + " " + Sha1Of(picture.value());
    }
    EXPECT_EQ(report.split('\n', Qt::SkipEmptyParts), expected);

    // The output folder is remembered for the next run.
    form.reset();
    auto recording = std::make_unique<RecordingDialogs>();
    dialogs = recording.get();
    form = std::make_unique<TForm1>(Root(), std::move(recording));
    EXPECT_EQ(form->LabeledEdit4->text(), PathIn("books"));
}

}  // namespace
