#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/conversion_progress_dialog.h"
#include "app/error_box.h"
#include "app/labeled_edit.h"
#include "tests/app/window/window_test_support.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <functional>

#include <gtest/gtest.h>

namespace {

using WindowConvertTest = WindowTest;

// The system's temporary folder, where conversions stage their books, is `folder` until the end of the scope.
class TemporaryFolderAt {
public:
    explicit TemporaryFolderAt(const QString& folder)
        : old_(qgetenv("TMPDIR")),
          had_(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", folder.toUtf8());
    }
    ~TemporaryFolderAt()
    {
        if (had_) {
            qputenv("TMPDIR", old_);
        } else {
            qunsetenv("TMPDIR");
        }
    }
    TemporaryFolderAt(const TemporaryFolderAt&) = delete;
    TemporaryFolderAt& operator=(const TemporaryFolderAt&) = delete;

private:
    QByteArray old_;
    bool had_;
};

// The sorted names of a book's entries, as Info-ZIP's unzip lists them.
QStringList EntriesOf(const QString& book)
{
    QString listing;
    EXPECT_EQ(RunProgram("unzip", {"-Z1", book}, &listing), 0) << book.toStdString();
    QStringList entries = listing.split('\n', Qt::SkipEmptyParts);
    entries.sort();
    return entries;
}

TEST_F(WindowConvertTest, AnEmptyPageListAsksForPicturesAndTouchesNothing)
{
    form->Edit1->setText("Title");
    form->Edit2->setText("Author");
    form->LabeledEdit4->setText(PathIn("out"));
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events, QStringList({"plain|Note!|Please add some pictures!"}));
    EXPECT_EQ(dialogs->cursors, QStringList({"none"}));
    EXPECT_EQ(FolderNames(Root()), QStringList({"epubfiles"}));
    EXPECT_EQ(OverrideCursorName(), "none");
}

TEST_F(WindowConvertTest, AnAddressTheDesktopCannotOpenIsNamedInTheErrorBox)
{
    dialogs->desktopOpens = false;
    const QString title = ApplicationTitle(QCoreApplication::applicationFilePath());
    emit form->PNGButton5->clicked();
    EXPECT_EQ(dialogs->events,
              QStringList({"open||https://www.tamboril.org/", "error|" + title
                                                                  + "|The desktop could not open the home page.\n"
                                                                    "https://www.tamboril.org/"}));

    // The book is written all the same; the box after the success message names its folder.
    dialogs->events.clear();
    MakePicture("a.jpg");
    AddRow(PathIn("a.jpg"));
    form->Edit1->setText("T");
    form->Edit2->setText("A");
    form->LabeledEdit4->setText(PathIn("out"));
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events,
              QStringList({"plain|Congratulation|Successed to build: " + PathIn("out/T.epub"),
                           "open||" + QUrl::fromLocalFile(PathIn("out")).toString(),
                           "error|" + title + "|The desktop could not open the output folder.\n" + PathIn("out")}));
    EXPECT_TRUE(QFileInfo(PathIn("out/T.epub")).isFile());
    EXPECT_EQ(OverrideCursorName(), "none");
}

TEST_F(WindowConvertTest, AnOutputFolderTypedRelativeIsOpenedWhereTheBookWasWritten)
{
    MakePicture("pictures/a.jpg");
    AddRow(PathIn("pictures/a.jpg"));
    form->Edit1->setText("T");
    form->Edit2->setText("A");
    form->LabeledEdit4->setText("books");
    const QString workingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Root()));
    emit form->PNGButton4->clicked();
    QDir::setCurrent(workingFolder);
    EXPECT_TRUE(QFileInfo(PathIn("books/T.epub")).isFile());
    EXPECT_EQ(dialogs->events.last(), "open||" + QUrl::fromLocalFile(PathIn("books")).toString());
}

TEST_F(WindowConvertTest, ConvertBuildsTheBookFromTheRowsAndFieldsAndReportsThroughTheWindow)
{
    MakePicture("pictures/first.jpg");
    MakePicture("pictures/second.jpg");
    MakePicture("pictures/front.jpg");
    AddRow(PathIn("pictures/second.jpg"));
    AddRow(PathIn("pictures/first.jpg"));
    form->Edit1->setText("My Book");
    form->Edit2->setText("Ann Author");
    form->LabeledEdit3->setText(PathIn("pictures/front.jpg"));
    // Two levels that do not exist yet.
    const QString output = PathIn("books/new");
    form->LabeledEdit4->setText(output);
    const QString book = output + "/My Book.epub";

    emit form->PNGButton4->clicked();
    const QString success = "plain|Congratulation|Successed to build: " + book;
    const QString opened = "open||" + QUrl::fromLocalFile(output).toString();
    EXPECT_EQ(dialogs->events, QStringList({success, opened}));
    EXPECT_EQ(dialogs->cursors, QStringList({"none", "none"}));
    EXPECT_TRUE(QFileInfo(book).isFile());

    // The rows in list order, the cover and both names went into the book.
    EXPECT_EQ(EntriesOf(book),
              QStringList({"META-INF/container.xml", "OEBPS/cover.html", "OEBPS/fb.ncx", "OEBPS/fb.opf",
                           "OEBPS/first.jpg", "OEBPS/front.jpg", "OEBPS/page1.html", "OEBPS/page2.html",
                           "OEBPS/second.jpg", "OEBPS/stylesheet.css", "mimetype"}));
    EXPECT_TRUE(ProgramOutput("unzip", {"-p", book, "OEBPS/page1.html"}).contains("second.jpg"));
    EXPECT_TRUE(ProgramOutput("unzip", {"-p", book, "OEBPS/page2.html"}).contains("first.jpg"));
    const QByteArray package = ProgramOutput("unzip", {"-p", book, "OEBPS/fb.opf"});
    EXPECT_TRUE(package.contains(">My Book<"));
    EXPECT_TRUE(package.contains(">Ann Author<"));

    // Again: the book exists now, and the question comes under the hourglass.
    dialogs->events.clear();
    dialogs->cursors.clear();
    dialogs->answer = false;
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events, QStringList({"ask|Information|The file is existing. Overwrite?"}));
    EXPECT_EQ(dialogs->cursors, QStringList({"wait"}));
    EXPECT_EQ(OverrideCursorName(), "none");

    // Where the desktop's file manager answers, it shows the new book, and no folder is opened.
    dialogs->events.clear();
    dialogs->answer = true;
    dialogs->fileManagerShows = true;
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events,
              QStringList({"ask|Information|The file is existing. Overwrite?", success, "show||" + book}));
    EXPECT_EQ(OverrideCursorName(), "none");
}

TEST_F(WindowConvertTest, AMissingSettingIsShownInAPlainBoxWithTheNormalPointer)
{
    MakePicture("pictures/a.jpg");
    AddRow(PathIn("pictures/a.jpg"));
    form->LabeledEdit4->setText(PathIn("out"));
    form->Edit1->setText("Title");
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events, QStringList({"plain|Note!|Please set the author name!"}));
    EXPECT_EQ(dialogs->cursors, QStringList({"none"}));
    EXPECT_FALSE(QFileInfo::exists(PathIn("out")));
}

TEST_F(WindowConvertTest, ABookIsMadeWithoutATemporaryFolder)
{
    // The temporary folder is taken by a file, so nothing could be staged in it; nothing needs to be.
    WriteTestFile(PathIn("tmp"), "a file, not a folder");
    MakePicture("a.jpg");
    AddRow(PathIn("a.jpg"));
    form->Edit1->setText("Title");
    form->Edit2->setText("Author");
    form->LabeledEdit4->setText(PathIn("out"));
    {
        const TemporaryFolderAt temporary(PathIn("tmp"));
        emit form->PNGButton4->clicked();
    }
    ASSERT_FALSE(dialogs->events.isEmpty());
    EXPECT_TRUE(dialogs->events[0].startsWith("plain|Congratulation|Successed to build: "))
        << dialogs->events[0].toStdString();
    EXPECT_EQ(OverrideCursorName(), "none");
    EXPECT_TRUE(QFileInfo(PathIn("out/Title.epub")).isFile());
    EXPECT_EQ(ReadTestFile(PathIn("tmp")), "a file, not a folder");
}

TEST_F(WindowConvertTest, TwoWindowsConvertingAtOnceEachMakeTheirOwnWholeBookAndLeaveNothing)
{
    const TemporaryFolderAt temporary(PathIn("tmp"));
    ASSERT_TRUE(QDir().mkpath(PathIn("tmp")));
    auto otherDialogs = std::make_unique<RecordingDialogs>();
    RecordingDialogs& other = *otherDialogs;
    auto otherForm = std::make_unique<TForm1>(Root(), std::move(otherDialogs));
    otherForm->show();
    const auto fill = [&](TForm1& window, const QString& title, int pages) {
        QStringList pictures;
        for (int page = 1; page <= pages; ++page) {
            pictures << PathIn(QString("%1/%1%2.jpg").arg(title).arg(page));
            WriteTestFile(pictures.last(), MakeTestJpeg({64 + page, 48}));
        }
        window.AddPicturesFromArguments(pictures);
        window.Edit1->setText(title);
        window.Edit2->setText("Author");
        window.LabeledEdit4->setText(PathIn("out"));
    };
    fill(*form, "a", 25);
    fill(*otherForm, "b", 3);

    // The second window's Convert comes while the first window's conversion lets events through, and its book is
    // done before the first one is.
    QStringList firstWindowMeanwhile = {"the second conversion never ran"};
    QTimer::singleShot(0, otherForm.get(), [&] {
        emit otherForm->PNGButton4->clicked();
        firstWindowMeanwhile = dialogs->events;
    });
    emit form->PNGButton4->clicked();
    EXPECT_EQ(firstWindowMeanwhile, QStringList());

    EXPECT_EQ(dialogs->events.value(0), "plain|Congratulation|Successed to build: " + PathIn("out/a.epub"));
    EXPECT_EQ(other.events.value(0), "plain|Congratulation|Successed to build: " + PathIn("out/b.epub"));
    for (const auto& [title, pages] : {std::pair<QString, int>{"a", 25}, {"b", 3}}) {
        const QString book = PathIn("out/" + title + ".epub");
        EXPECT_EQ(EntriesOf(book).filter(QRegularExpression("^OEBPS/" + title + "\\d+\\.jpg$")).size(), pages);
        EXPECT_EQ(EntriesOf(book).filter(QRegularExpression("^OEBPS/page\\d+\\.html$")).size(), pages);
        EXPECT_TRUE(ProgramOutput("unzip", {"-p", book, "OEBPS/fb.opf"}).contains(">" + title.toUtf8() + "<"));
    }
    // Each staging folder goes once its conversion is over, at the latest when its window closes.
    otherForm.reset();
    form.reset();
    EXPECT_EQ(FolderNames(PathIn("tmp")), QStringList());
}

TEST_F(WindowConvertTest, APictureThatCannotBeReadFailsTheConversionInTheErrorBox)
{
    MakePicture("pictures/a.jpg");
    WriteTestFile(PathIn("out/T.epub"), "the earlier book");
    AddRow(PathIn("pictures/a.jpg"));
    AddRow(PathIn("pictures/gone.jpg"));
    form->Edit1->setText("T");
    form->Edit2->setText("A");
    form->LabeledEdit4->setText(PathIn("out"));
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events,
              QStringList({"ask|Information|The file is existing. Overwrite?",
                           "error|" + ApplicationTitle(QCoreApplication::applicationFilePath()) + "|Failed to build: "
                               + PathIn("out/T.epub") + "\nCannot read picture: " + PathIn("pictures/gone.jpg")
                               + " (No such file or directory)"}));
    EXPECT_EQ(ReadTestFile(PathIn("out/T.epub")), "the earlier book");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));

    // A picture whose header is whole and whose data is damaged is found out as the book is packed.
    dialogs->events.clear();
    WriteTestFile(PathIn("pictures/damaged.jpg"), Zeroed(MakePhotoJpeg({1200, 900})));
    form->PNGButton3->clicked();
    AddRow(PathIn("pictures/a.jpg"));
    AddRow(PathIn("pictures/damaged.jpg"));
    emit form->PNGButton4->clicked();
    EXPECT_EQ(dialogs->events.last(), "error|" + ApplicationTitle(QCoreApplication::applicationFilePath())
                                          + "|Failed to build: " + PathIn("out/T.epub") + "\nCannot read picture: "
                                          + PathIn("pictures/damaged.jpg") + " (the picture is damaged)");
    EXPECT_EQ(ReadTestFile(PathIn("out/T.epub")), "the earlier book");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"T.epub"}));
}

// A book big enough that packing it passes through several rounds of event dispatching.
class WindowConvertWhilePackingTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            WriteTestFile(PathIn(QString("pictures/") + name), SmallJpeg() + QByteArray(256 * 1024, name[0]));
            AddRow(PathIn(QString("pictures/") + name));
        }
        form->Edit1->setText("Book");
        form->Edit2->setText("Author");
        form->LabeledEdit4->setText(PathIn("out"));
    }

    QString BookFile() const { return PathIn("out/Book.epub"); }

    // Clicks Convert, and runs `during` at the first moment the conversion lets events through.
    void ConvertAndMeanwhile(std::function<void()> during)
    {
        QTimer::singleShot(0, form.get(), std::move(during));
        emit form->PNGButton4->clicked();
    }
};

TEST_F(WindowConvertWhilePackingTest, CommandsAndClosingAreHeldOffUntilTheConversionEnds)
{
    QString cursorMeanwhile;
    int rowsMeanwhile = -1;
    ConvertAndMeanwhile([&] {
        cursorMeanwhile = OverrideCursorName();
        ClickAt(ControlPoint(*form->PNGButton4));
        ClickAt(ControlPoint(*form->PNGButton3));
        form->RemoveAll1->trigger();
        ClickAt(ControlPoint(*form->ImgBtnClose));
        form->close();
        rowsMeanwhile = RowCount();
    });
    // The clicks came while the book was being packed, and none of them ran.
    EXPECT_EQ(cursorMeanwhile, "wait");
    EXPECT_EQ(rowsMeanwhile, 3);
    const QString success = "plain|Congratulation|Successed to build: " + BookFile();
    EXPECT_EQ(dialogs->events, QStringList({success, "open||" + QUrl::fromLocalFile(PathIn("out")).toString()}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(OverrideCursorName(), "none");

    // Afterwards the commands work again.
    ClickAt(ControlPoint(*form->PNGButton3));
    EXPECT_EQ(RowCount(), 0);
    ClickAt(ControlPoint(*form->ImgBtnClose));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowConvertWhilePackingTest, TheWindowAnswersWhileThePagesArePrepared)
{
    // What the progress dialog said each time the window's timers ran.
    QStringList saidMeanwhile;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (auto* progress = form->findChild<QProgressDialog*>()) {
            saidMeanwhile << progress->labelText();
        }
    });
    ticker.start(0);
    ClickAt(ControlPoint(*form->PNGButton4));
    ticker.stop();
    EXPECT_TRUE(saidMeanwhile.contains("Preparing the pages... 3 of 3")) << saidMeanwhile.join(", ").toStdString();
    EXPECT_TRUE(saidMeanwhile.contains("Packing the book...")) << saidMeanwhile.join(", ").toStdString();
    EXPECT_TRUE(QFileInfo(BookFile()).isFile());
}

TEST_F(WindowConvertWhilePackingTest, CancelStopsTheConversionKeepsTheOldBookAndShowsNothingMore)
{
    WriteTestFile(BookFile(), "the old book");
    dialogs->answer = true;
    // The question comes first; the first events get through while the pictures are staged.
    ConvertAndMeanwhile([this] {
        auto* progress = form->findChild<QProgressDialog*>();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->isModal());
        progress->findChild<QPushButton*>()->click();
    });
    EXPECT_EQ(dialogs->events, QStringList({"ask|Information|The file is existing. Overwrite?"}));
    EXPECT_EQ(ReadTestFile(BookFile()), "the old book");
    EXPECT_EQ(FolderNames(PathIn("out")), QStringList({"Book.epub"}));
    EXPECT_EQ(form->findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(OverrideCursorName(), "none");

    // The next conversion is not cancelled by the last one's Cancel.
    dialogs->events.clear();
    ClickAt(ControlPoint(*form->PNGButton4));
    EXPECT_EQ(dialogs->events.size(), 3);
    EXPECT_NE(ReadTestFile(BookFile()), "the old book");
}

// The paths of every file below `folder`, hidden ones too.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        files << walk.next();
    }
    return files;
}

// The window with real message boxes; the desktop's file manager shows every book.
class RealBoxes : public QtWindowDialogs {
public:
    RealBoxes() : QtWindowDialogs(nullptr) {}
    bool ShowFileInFolder(const QString&) override { return true; }
};

// A person who reads every box that comes up and answers it with Return; the overwrite question
// only once it has been open for longer than the progress dialog waits before it shows. Runs
// `atQuestion` when the question comes up, and notes whether it was still the box to answer at the
// end, and whether a progress dialog was up while any box was.
class PatientPerson {
public:
    PatientPerson()
    {
        looking_.callOnTimeout([this] { Look(); });
        looking_.start(20);
    }

    QStringList boxes;
    std::function<void()> atQuestion;
    bool questionOnTop = false;
    bool progressOverABox = false;

private:
    static constexpr int kQuestionOpenMilliseconds = 2 * ConversionProgressDialog::kShowAfterMilliseconds;

    void Look()
    {
        QMessageBox* box = nullptr;
        bool progressShown = false;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* shown = qobject_cast<QMessageBox*>(window); shown != nullptr && shown->isVisible()) {
                box = shown;
            }
            progressShown = progressShown || (qobject_cast<QProgressDialog*>(window) && window->isVisible());
        }
        if (box == nullptr) {
            return;
        }
        progressOverABox = progressOverABox || progressShown;
        const bool question = box->text() == "The file is existing. Overwrite?";
        if (box != current_) {
            current_ = box;
            open_.start();
            boxes << box->text();
            if (question && atQuestion) {
                atQuestion();
            }
        }
        if (question && open_.elapsed() < kQuestionOpenMilliseconds) {
            return;
        }
        if (question) {
            questionOnTop = QApplication::activeModalWidget() == box;
        }
        QTest::keyClick(box, Qt::Key_Return);
    }

    QTimer looking_;
    QElapsedTimer open_;
    QMessageBox* current_ = nullptr;
};

class WindowConvertQuestionTest : public WindowConvertWhilePackingTest {
protected:
    void SetUp() override
    {
        WindowConvertWhilePackingTest::SetUp();
        const QStringList rows = form->RowPaths();
        dialogs = nullptr;
        form = std::make_unique<TForm1>(Root(), std::make_unique<RealBoxes>());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        for (const QString& row : rows) {
            AddRow(row);
        }
        form->Edit1->setText("Book");
        form->Edit2->setText("Author");
        form->LabeledEdit4->setText(PathIn("out"));
    }
};

TEST_F(WindowConvertQuestionTest, TheOverwriteQuestionIsAskedBeforeTheLongWorkAndNothingEverCoversIt)
{
    ASSERT_TRUE(QDir().mkpath(PathIn("staging")));
    const TemporaryFolderAt staging(PathIn("staging"));
    const QString success = "Successed to build: " + BookFile();
    WriteTestFile(BookFile(), "the old book");
    {
        PatientPerson person;
        QStringList stagedAtQuestion;
        person.atQuestion = [&] { stagedAtQuestion = FilesBelow(PathIn("staging")); };
        emit form->PNGButton4->clicked();
        EXPECT_EQ(person.boxes, QStringList({"The file is existing. Overwrite?", success}));
        EXPECT_TRUE(stagedAtQuestion.filter(".jpg").isEmpty()) << "asked before the pages were prepared";
        EXPECT_TRUE(person.questionOnTop);
        EXPECT_FALSE(person.progressOverABox);
        EXPECT_NE(ReadTestFile(BookFile()), "the old book");
    }

    // A book that appears while the pages are prepared is asked about after them. They take long
    // enough for the progress dialog to come up meanwhile; it must not stay over the question.
    ASSERT_TRUE(QFile::remove(BookFile()));
    for (int page = 0; page < 500; ++page) {
        AddRow(PathIn("pictures/a.jpg"));
    }
    PatientPerson person;
    ConvertAndMeanwhile([this] {
        WriteTestFile(BookFile(), "a book that appeared");
        QThread::msleep(ConversionProgressDialog::kShowAfterMilliseconds + 200);
    });
    EXPECT_EQ(person.boxes, QStringList({"The file is existing. Overwrite?", success}));
    EXPECT_TRUE(person.questionOnTop);
    EXPECT_FALSE(person.progressOverABox);
    EXPECT_NE(ReadTestFile(BookFile()), "a book that appeared");
    EXPECT_EQ(OverrideCursorName(), "none");
}

}  // namespace
