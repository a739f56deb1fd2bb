#include "app/controls/png_button.h"
#include "app/error_box.h"
#include "pages/page_list_model.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QItemSelection>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using WindowPageListTest = WindowTest;

TEST_F(WindowPageListTest, AddAppendsTheChosenPicturesInTheDialogsOrderNumberedOnFromTheEnd)
{
    const QPoint add = ControlPoint(*form->PNGButton2);
    const QString a = MakePicture("p/a.jpg");
    const QString b = MakePicture("p/b.jpg");
    const QString c = MakePicture("p/c.jpg");
    const QString d = MakePicture("p/d.jpg");
    dialogs->pagePictures = {c, a, b};
    ClickAt(add);
    EXPECT_EQ(PageTexts(), QStringList({"1 " + c, "2 " + a, "3 " + b}));

    // The same picture twice gives two rows with the same path.
    dialogs->pagePictures = {d, d};
    ClickAt(add);
    EXPECT_EQ(PageTexts(), QStringList({"1 " + c, "2 " + a, "3 " + b, "4 " + d, "5 " + d}));

    // A cancelled dialog changes nothing.
    dialogs->pagePictures.clear();
    ClickAt(add);
    EXPECT_EQ(PageTexts().size(), 5);
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "open pictures||", "open pictures||"}));
}

TEST_F(WindowPageListTest, AddLeavesOutWhatIsNoWholePictureAndNamesEachInOneBox)
{
    const QString good = MakePicture("in/good.jpg");
    // A PNG picture under a JPEG picture's name is a picture all the same.
    QImage png(QSize(30, 20), QImage::Format_RGB32);
    png.fill(Qt::darkCyan);
    ASSERT_TRUE(png.save(PathIn("in/download.jpg"), "PNG"));
    const QByteArray pngBytes = ReadTestFile(PathIn("in/download.jpg"));
    const QByteArray jpegBytes = SmallJpeg();
    WriteTestFile(PathIn("in/empty.jpg"), "");
    WriteTestFile(PathIn("in/cut.jpg"), jpegBytes.left(jpegBytes.size() / 2));
    WriteTestFile(PathIn("in/cut.png"), pngBytes.left(pngBytes.size() / 2));
    WriteTestFile(PathIn("in/notes.jpg"), "notes");
    dialogs->pagePictures = {PathIn("in/empty.jpg"), good,
                             PathIn("in/cut.jpg"),   PathIn("in/cut.png"),
                             PathIn("in/notes.jpg"), PathIn("in/download.jpg")};
    form->Add1->trigger();

    EXPECT_EQ(PageTexts(), QStringList({"1 " + good, "2 " + PathIn("in/download.jpg")}));
    EXPECT_EQ(dialogs->events,
              QStringList({"open pictures||",
                           "error|" + ApplicationTitle(QCoreApplication::applicationFilePath())
                               + "|These files were not added.\n" + PathIn("in/empty.jpg") + " (the file is empty)\n"
                               + PathIn("in/cut.jpg") + " (the picture is cut short)\n" + PathIn("in/cut.png")
                               + " (the picture is cut short)\n" + PathIn("in/notes.jpg") + " (not a picture)"}));
    // What was added is one step.
    form->Undo1->trigger();
    EXPECT_TRUE(PageTexts().isEmpty());
}

// Types over the page number of a row, as F2 offers it, and presses Return.
void RetypePageNumber(PageListView& list, const QString& text)
{
    // The editor of the last edit goes only once deferred deletions run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::keyClick(&list, Qt::Key_F2);
    auto* editor = list.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over once the events that follow Return have run.
    QCoreApplication::processEvents();
}

TEST_F(WindowPageListTest, ARetypedPageNumberMovesItsRowAndAnyOtherTextIsRefused)
{
    const QString a = MakePicture("p/a.jpg");
    const QString b = MakePicture("p/b.jpg");
    const QString c = MakePicture("p/c.jpg");
    const QString d = MakePicture("p/d.jpg");
    dialogs->pagePictures = {a, b, c, d};
    form->PNGButton2Click(form.get());
    // A click on the path of the second row, then F2: the page number is edited, whichever column
    // the click landed in.
    ClickAt(RowPoint(1));
    QTest::keyClick(form->ListView1, Qt::Key_F2);
    auto* editor = form->ListView1->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "2");
    QTest::keyClick(editor, Qt::Key_Escape);

    // The list never shows an order the book does not have: page 2 typed as 4 becomes page 4.
    RetypePageNumber(*form->ListView1, "4");
    EXPECT_EQ(PageTexts(), QStringList({"1 " + a, "2 " + c, "3 " + d, "4 " + b}));
    // The row is still the current one, where it went; typed as 1 it goes first.
    EXPECT_EQ(form->ListView1->currentIndex().row(), 3);
    RetypePageNumber(*form->ListView1, " 1 ");
    EXPECT_EQ(PageTexts(), QStringList({"1 " + b, "2 " + a, "3 " + c, "4 " + d}));

    // Anything but a whole number of a page there is leaves the row and its number as they were.
    for (const char* refused : {"1a", "0", "5", "", "-1", "+2", "2.0", "two", "99999999999"}) {
        RetypePageNumber(*form->ListView1, refused);
        EXPECT_EQ(PageTexts(), QStringList({"1 " + b, "2 " + a, "3 " + c, "4 " + d})) << refused;
    }
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||"}));
}

TEST_F(WindowPageListTest, RemovingAScatteredSelectionKeepsExactlyTheOtherRowsInOrder)
{
    QStringList paths;
    for (int page = 0; page < 300; ++page) {
        paths << MakePicture(QString("p/%1.jpg").arg(page));
    }
    dialogs->pagePictures = paths;
    form->PNGButton2Click(form.get());
    // Runs of one, two and more rows, the first and the last row among them.
    const auto removed = [](int page) { return page % 7 == 0 || page % 7 == 3 || page % 7 == 4 || page >= 290; };
    QItemSelection selection;
    QStringList expected;
    for (int page = 0; page < 300; ++page) {
        const QModelIndex index = form->ListView1->model()->index(page, 0);
        if (removed(page)) {
            selection.select(index, index);
        } else {
            expected << QString("%1 %2").arg(expected.size() + 1).arg(paths[page]);
        }
    }
    form->ListView1->selectionModel()->setCurrentIndex(form->ListView1->model()->index(4, 1),
                                                       QItemSelectionModel::NoUpdate);
    form->ListView1->selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);

    emit form->PNGButton1->clicked();
    EXPECT_EQ(PageTexts(), expected);
    EXPECT_FALSE(form->ListView1->selectionModel()->hasSelection());
    // The current row was removed: it passed to the nearest kept row above, as the list moves it.
    EXPECT_EQ(Pages().Path(form->ListView1->currentIndex().row()), paths[2]);
}

TEST_F(WindowPageListTest, ADropAndARemovalNumberTheRowsAgain)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg", "/p/e.jpg", "/p/f.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    PageListView& list = *form->ListView1;
    // D dropped on B.
    SetCurrentRow(3);
    const QPoint onB = list.RowRect(1).center();
    form->ListView1DragOver(&list, &list, onB);
    form->ListView1DragDrop(&list, &list, onB);
    EXPECT_EQ(PageTexts(),
              QStringList({"1 /p/a.jpg", "2 /p/d.jpg", "3 /p/b.jpg", "4 /p/c.jpg", "5 /p/e.jpg", "6 /p/f.jpg"}));

    SetCurrentRow(2);
    form->PNGButton1Click(form.get());
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/d.jpg", "3 /p/c.jpg", "4 /p/e.jpg", "5 /p/f.jpg"}));
}

TEST_F(WindowPageListTest, TheMenuOffersRemovingOnlyWhatThereIs)
{
    PageListView& list = *form->ListView1;
    const auto menuOffers = [&] {
        ClickAt(list.viewport()->mapTo(form.get(), QPoint(100, 100)), Qt::RightButton);
        const QString offered =
            QString("%1 %2").arg(form->RemoveSelected1->isEnabled()).arg(form->RemoveAll1->isEnabled());
        EXPECT_TRUE(form->PopupMenu1->isVisible());
        form->PopupMenu1->hide();
        return offered;
    };
    EXPECT_EQ(menuOffers(), "0 0");
    AddRow("/p/a.jpg");
    EXPECT_EQ(menuOffers(), "0 1");
    SetCurrentRow(0);
    EXPECT_EQ(menuOffers(), "1 1");
}

TEST_F(WindowPageListTest, AddedRowsComeIntoViewAndARowShowsItsWholePath)
{
    QStringList paths;
    for (int page = 1; page < 40; ++page) {
        paths << MakePicture(QString("p/%1.jpg").arg(page));
    }
    const QString last = MakePicture("pictures/a folder with a long name/another folder/yet another/page40.jpg");
    dialogs->pagePictures = paths << last;
    form->PNGButton2Click(form.get());

    PageListView& list = *form->ListView1;
    const QRect lastRow = list.RowRect(39);
    EXPECT_TRUE(list.viewport()->rect().contains(lastRow));
    QHelpEvent help(QEvent::ToolTip, lastRow.center(), list.viewport()->mapToGlobal(lastRow.center()));
    QCoreApplication::sendEvent(list.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), last);
}

// Drops on the list the way a drag from another program ends: the drag has no source in this
// program.
class ExternalDropTest : public WindowTest {
protected:
    Qt::DropAction DropOnList(QMimeData& data, QPoint pos)
    {
        QWidget* viewport = form->ListView1->viewport();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(pos, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(pos, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        EXPECT_TRUE(drop.isAccepted());
        return drop.dropAction();
    }
};

TEST_F(ExternalDropTest, FilesDroppedFromTheFileManagerAreCheckedAndAddedInTheOrderDropped)
{
    AddRow("/p/first.jpg");
    // A folder, even one named like a picture, adds its pictures in its place; a file is taken for what its
    // content is, whatever its name says.
    const QString inside = MakePicture("folder.jpg/inside.jpg");
    const QString named = MakePicture("IMG_0002.JPG");
    const QString b = MakePicture("b.jpeg");
    const QString jpegNamedPng = MakePicture("e.png");
    WriteTestFile(PathIn("notes.txt"), "notes");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(named), QUrl::fromLocalFile(PathIn("notes.txt")), QUrl::fromLocalFile(b),
                   QUrl::fromLocalFile(PathIn("folder.jpg")), QUrl("https://example.org/c.jpg"),
                   QUrl::fromLocalFile(jpegNamedPng)});
    // Dropped on the first row: where they land does not matter, they are appended.
    EXPECT_EQ(DropOnList(files, form->ListView1->RowRect(0).center()), Qt::CopyAction);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/first.jpg", "2 " + named, "3 " + b, "4 " + inside, "5 " + jpegNamedPng}));
    EXPECT_EQ(dialogs->events,
              QStringList({"error|" + ApplicationTitle(QCoreApplication::applicationFilePath())
                           + "|These files were not added.\n" + PathIn("notes.txt") + " (not a picture)"}));

    // Anything else from outside changes nothing and says nothing.
    QMimeData text;
    text.setText("/p/x.jpg");
    DropOnList(text, QPoint(5, 5));
    EXPECT_EQ(PageTexts().size(), 5);
    EXPECT_EQ(dialogs->events.size(), 1);
}

// A folder of pictures as a person keeps one per book: pages whose numbers sort differently as
// text, names in upper case, a hidden file, a file of another kind, a subfolder, and a picture whose
// name is not UTF-8.
class FolderTest : public ExternalDropTest {
protected:
    void SetUp() override
    {
        ExternalDropTest::SetUp();
        for (const char* name :
             {"page10.jpg", "page2.jpg", "Page3.JPG", "page1.jpeg", ".page0.jpg", "notes.txt", "sub/page4.jpg"}) {
            MakePicture(QString("book/") + name);
        }
        const int file = ::open(UndecodableName().constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        ::close(file);
    }

    // The temporary folder's removal goes by names in UTF-8 and cannot reach this one: it goes first.
    void TearDown() override
    {
        ::unlink(UndecodableName().constData());
        ExternalDropTest::TearDown();
    }

    QByteArray UndecodableName() const { return QFile::encodeName(PathIn("book")) + "/page5\xff.jpg"; }

    QStringList BookPages(int firstPage) const
    {
        QStringList pages;
        for (const char* name : {"page1.jpeg", "page2.jpg", "Page3.JPG", "page10.jpg"}) {
            pages << QString::number(firstPage++) + " " + PathIn(QString("book/") + name);
        }
        return pages;
    }

    QString NotAddedBox() const
    {
        return "error|" + ApplicationTitle(QCoreApplication::applicationFilePath()) + "|These files were not added.\n"
               + PathIn("book/page5\uFFFD.jpg") + " (the name is not valid UTF-8)";
    }
};

TEST_F(FolderTest, ADroppedFolderAddsItsPicturesInNaturalOrderInItsPlaceAndNamesThoseItCannot)
{
    // Enough rows that the new ones come below the view.
    for (int page = 1; page <= 30; ++page) {
        AddRow(QString("/p/%1.jpg").arg(page));
    }
    QMimeData items;
    const QString before = MakePicture("p/before.jpg");
    const QString after = MakePicture("p/after.jpg");
    items.setUrls({QUrl::fromLocalFile(before), QUrl::fromLocalFile(PathIn("book")), QUrl::fromLocalFile(after)});
    DropOnList(items, QPoint(5, 5));

    EXPECT_EQ(PageTexts().mid(30), QStringList({"31 " + before}) + BookPages(32) + QStringList({"36 " + after}));
    EXPECT_EQ(dialogs->events, QStringList({NotAddedBox()}));
    // The list shows the last row added.
    PageListView& list = *form->ListView1;
    EXPECT_TRUE(list.viewport()->rect().contains(list.RowRect(35)));
}

TEST_F(FolderTest, AddFolderAddsTheChosenFolderAsADropWouldAndACancelAddsNothing)
{
    AddRow("/p/first.jpg");
    form->AddFolder1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/first.jpg"}));
    EXPECT_EQ(dialogs->events, QStringList({"browse||"}));

    dialogs->folder = PathIn("book");
    form->AddFolder1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/first.jpg"}) + BookPages(2));
    EXPECT_EQ(dialogs->events, QStringList({"browse||", "browse||", NotAddedBox()}));
}

TEST_F(WindowPageListTest, SortByFileNameOrdersByNameThenPathKeepingSelectionAndCurrentRow)
{
    for (const char* path : {"/b/page10.jpg", "/z/page2.jpg", "/c/Page3.JPG", "/a/page2.jpg", "/y/page2.jpg",
                             "/a/page1.jpg", "/a/page2.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    SetCurrentRow(1);
    SelectRow(0);
    SelectRow(6);

    form->SortByFileName1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /a/page1.jpg", "2 /a/page2.jpg", "3 /a/page2.jpg", "4 /y/page2.jpg",
                                        "5 /z/page2.jpg", "6 /c/Page3.JPG", "7 /b/page10.jpg"}));
    // The rows selected before are selected where they are now; the same path keeps its order.
    QStringList selected;
    for (const int row : form->ListView1->SelectedPositions()) {
        selected << QString::number(row) + " " + Pages().Path(row);
    }
    EXPECT_EQ(selected, QStringList({"2 /a/page2.jpg", "4 /z/page2.jpg", "6 /b/page10.jpg"}));
    EXPECT_EQ(Pages().Path(form->ListView1->currentIndex().row()), "/z/page2.jpg");
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(FolderTest, UndoAndRedoRestoreEveryKindOfChangeToThePageListExactly)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    PageListView& list = *form->ListView1;
    // The list after each change, the first one empty.
    QList<QStringList> states = {PageTexts()};
    const auto changed = [&] { states << PageTexts(); };
    const auto selectRows = [&](const QList<int>& rows) {
        list.clearSelection();
        for (const int row : rows) {
            SelectRow(row);
        }
    };

    for (int page = 24; page > 0; --page) {
        dialogs->pagePictures << MakePicture(QString("p/%1.jpg").arg(page));
    }
    form->PNGButton2Click(form.get());
    changed();
    dialogs->folder = PathIn("book");
    form->AddFolder1->trigger();
    changed();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(MakePicture("p/x.jpg")), QUrl::fromLocalFile(MakePicture("p/y.jpg"))});
    DropOnList(files, QPoint(5, 5));
    changed();
    // Scattered rows, many ranges of them, and then a single one.
    selectRows({0, 2, 4, 6, 8, 9, 10, 14, 16, 18, 20, 25, 29});
    form->PNGButton1Click(form.get());
    changed();
    selectRows({3});
    form->PNGButton1Click(form.get());
    changed();
    form->SortByFileName1->trigger();
    changed();
    SetCurrentRow(10);
    form->ListView1DragOver(&list, &list, list.RowRect(2).center());
    form->ListView1DragDrop(&list, &list, list.RowRect(2).center());
    changed();
    list.setFocus();
    SetCurrentRow(0);
    RetypePageNumber(list, "7");
    changed();
    form->PNGButton3Click(form.get());
    changed();
    ASSERT_EQ(states.size(), 10);
    for (qsizetype step = 1; step < states.size(); ++step) {
        ASSERT_NE(states[step], states[step - 1]) << step;
    }
    EXPECT_EQ(form->Undo1->text(), "Undo Remove All");

    // Back with the key, step by step to the empty list; then forward with the menu's Redo.
    list.setFocus();
    for (qsizetype step = states.size() - 2; step >= 0; --step) {
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(PageTexts(), states[step]) << step;
    }
    EXPECT_FALSE(form->Undo1->isEnabled());
    EXPECT_EQ(form->Redo1->text(), "Redo Add");
    for (qsizetype step = 1; step < states.size(); ++step) {
        form->Redo1->trigger();
        EXPECT_EQ(PageTexts(), states[step]) << step;
    }
    EXPECT_FALSE(form->Redo1->isEnabled());
    // Only the folder's picture whose name is not UTF-8 said anything, once.
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "browse||", NotAddedBox()}));
}

TEST_F(WindowPageListTest, AHundredStepsCanBeTakenBack)
{
    const QString picture = MakePicture("p/0.jpg");
    for (int page = 0; page <= 100; ++page) {
        dialogs->pagePictures = {picture};
        form->PNGButton2Click(form.get());
    }
    for (int step = 0; step < 100; ++step) {
        ASSERT_TRUE(form->Undo1->isEnabled()) << step;
        form->Undo1->trigger();
    }
    EXPECT_EQ(PageTexts(), QStringList({"1 " + picture}));
    EXPECT_FALSE(form->Undo1->isEnabled());
}

}  // namespace
