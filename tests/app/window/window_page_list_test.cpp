#include "app/controls/png_button.h"
#include "app/error_box.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
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
    dialogs->pagePictures = {"/p/c.jpg", "/p/a.jpg", "/p/b.jpg"};
    ClickAt(add);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/c.jpg", "2 /p/a.jpg", "3 /p/b.jpg"}));

    // The same picture twice gives two rows with the same path.
    dialogs->pagePictures = {"/p/d.jpg", "/p/d.jpg"};
    ClickAt(add);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/c.jpg", "2 /p/a.jpg", "3 /p/b.jpg", "4 /p/d.jpg", "5 /p/d.jpg"}));

    // A cancelled dialog changes nothing.
    dialogs->pagePictures.clear();
    ClickAt(add);
    EXPECT_EQ(PageTexts().size(), 5);
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "open pictures||", "open pictures||"}));
}

TEST_F(WindowPageListTest, ARetypedPageNumberStaysUntilTheNextNumbering)
{
    dialogs->pagePictures = {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"};
    form->PNGButton2Click(form.get());
    // A click on the path of the second row, then F2: the page number is edited, whichever column
    // the click landed in.
    ClickAt(RowPoint(1));
    QTest::keyClick(form->ListView1, Qt::Key_F2);
    auto* editor = form->ListView1->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "2");
    editor->selectAll();
    QTest::keyClicks(editor, "two");
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over once the events that follow Return have run.
    QCoreApplication::processEvents();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "two /p/b.jpg", "3 /p/c.jpg"}));

    // Add leaves it; Remove numbers every row again, even when it removes nothing.
    dialogs->pagePictures = {"/p/d.jpg"};
    form->PNGButton2Click(form.get());
    EXPECT_EQ(PageTexts().at(1), "two /p/b.jpg");
    form->ListView1->clearSelection();
    form->PNGButton1Click(form.get());
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/b.jpg", "3 /p/c.jpg", "4 /p/d.jpg"}));
}

TEST_F(WindowPageListTest, RemovingAScatteredSelectionKeepsExactlyTheOtherRowsInOrder)
{
    QStringList paths;
    for (int page = 0; page < 300; ++page) {
        paths << QString("/p/%1.jpg").arg(page);
    }
    dialogs->pagePictures = paths;
    form->PNGButton2Click(form.get());
    // Runs of one, two and more rows, the first and the last row among them; a retyped number on a
    // kept row.
    const auto removed = [](int page) { return page % 7 == 0 || page % 7 == 3 || page % 7 == 4 || page >= 290; };
    QItemSelection selection;
    QStringList expected;
    for (int page = 0; page < 300; ++page) {
        const QModelIndex index = form->ListView1->model()->index(page, 0);
        if (removed(page)) {
            selection.select(index, index);
        } else {
            expected << QString("%1 /p/%2.jpg").arg(expected.size() + 1).arg(page);
        }
    }
    form->ListView1->topLevelItem(100)->setText(0, "hundred");
    form->ListView1->selectionModel()->setCurrentIndex(form->ListView1->model()->index(4, 1),
                                                       QItemSelectionModel::NoUpdate);
    form->ListView1->selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);

    emit form->PNGButton1->clicked();
    EXPECT_EQ(PageTexts(), expected);
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    // The current row was removed: it passed to the nearest kept row above, as the list moves it.
    EXPECT_EQ(form->ListView1->currentItem()->text(1), "/p/2.jpg");
}

TEST_F(WindowPageListTest, ADropAndARemovalAfterRetypedNumbersRenumberAsBefore)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg", "/p/e.jpg", "/p/f.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    QTreeWidget& list = *form->ListView1;
    list.topLevelItem(0)->setText(0, "one");
    list.topLevelItem(4)->setText(0, "five");
    // D dropped on B: rows above both places keep what was typed, the rest are numbered again.
    list.setCurrentItem(list.topLevelItem(3));
    const QPoint onB = list.visualItemRect(list.topLevelItem(1)).center();
    form->ListView1DragOver(&list, &list, onB);
    form->ListView1DragDrop(&list, &list, onB);
    EXPECT_EQ(PageTexts(),
              QStringList({"one /p/a.jpg", "2 /p/d.jpg", "3 /p/b.jpg", "4 /p/c.jpg", "5 /p/e.jpg", "6 /p/f.jpg"}));

    // A removal numbers every row again.
    list.topLevelItem(5)->setText(0, "six");
    list.setCurrentItem(list.topLevelItem(2));
    form->PNGButton1Click(form.get());
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/d.jpg", "3 /p/c.jpg", "4 /p/e.jpg", "5 /p/f.jpg"}));
}

TEST_F(WindowPageListTest, TheMenuOffersRemovingOnlyWhatThereIs)
{
    QTreeWidget& list = *form->ListView1;
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
    list.setCurrentItem(list.topLevelItem(0));
    EXPECT_EQ(menuOffers(), "1 1");
}

TEST_F(WindowPageListTest, AddedRowsComeIntoViewAndARowShowsItsWholePath)
{
    QStringList paths;
    for (int page = 1; page < 40; ++page) {
        paths << QString("/p/%1.jpg").arg(page);
    }
    const QString last = "/home/someone/pictures/a folder with a long name/another folder/yet another/page40.jpg";
    dialogs->pagePictures = paths << last;
    form->PNGButton2Click(form.get());

    QTreeWidget& list = *form->ListView1;
    const QRect lastRow = list.visualItemRect(list.topLevelItem(39));
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

TEST_F(ExternalDropTest, JpegFilesDroppedFromTheFileManagerAreAddedInTheOrderDropped)
{
    AddRow("/p/first.jpg");
    // A folder, even one named like a picture, adds its pictures in its place.
    WriteTestFile(PathIn("folder.jpg/inside.jpg"), "a picture of the folder");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/p/IMG_0002.JPG"), QUrl::fromLocalFile("/p/notes.txt"),
                   QUrl::fromLocalFile("/p/b.jpeg"), QUrl::fromLocalFile(PathIn("folder.jpg")),
                   QUrl("https://example.org/c.jpg"), QUrl::fromLocalFile("/p/d.Jpg"),
                   QUrl::fromLocalFile("/p/e.png")});
    // Dropped on the first row: where they land does not matter, they are appended.
    EXPECT_EQ(DropOnList(files, form->ListView1->visualItemRect(form->ListView1->topLevelItem(0)).center()),
              Qt::CopyAction);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/first.jpg", "2 /p/IMG_0002.JPG", "3 /p/b.jpeg",
                                        "4 " + PathIn("folder.jpg/inside.jpg"), "5 /p/d.Jpg"}));

    // Anything else from outside, and files without a picture among them, change nothing.
    QMimeData text;
    text.setText("/p/x.jpg");
    DropOnList(text, QPoint(5, 5));
    QMimeData others;
    others.setUrls({QUrl::fromLocalFile("/p/x.gif")});
    DropOnList(others, QPoint(5, 5));
    EXPECT_EQ(PageTexts().size(), 5);
    EXPECT_TRUE(dialogs->events.isEmpty());
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
            WriteTestFile(PathIn(QString("book/") + name), "picture");
        }
        const QByteArray undecodable = QFile::encodeName(PathIn("book")) + "/page5\xff.jpg";
        const int file = ::open(undecodable.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        ::close(file);
    }

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
        return "error|" + ApplicationTitle(QCoreApplication::applicationFilePath())
               + "|These pictures were not added, since their file names are not UTF-8.\n"
               + PathIn("book/page5\uFFFD.jpg");
    }
};

TEST_F(FolderTest, ADroppedFolderAddsItsPicturesInNaturalOrderInItsPlaceAndNamesThoseItCannot)
{
    // Enough rows that the new ones come below the view.
    for (int page = 1; page <= 30; ++page) {
        AddRow(QString("/p/%1.jpg").arg(page));
    }
    QMimeData items;
    items.setUrls({QUrl::fromLocalFile("/p/before.jpg"), QUrl::fromLocalFile(PathIn("book")),
                   QUrl::fromLocalFile("/p/after.jpg")});
    DropOnList(items, QPoint(5, 5));

    EXPECT_EQ(PageTexts().mid(30),
              QStringList({"31 /p/before.jpg"}) + BookPages(32) + QStringList({"36 /p/after.jpg"}));
    EXPECT_EQ(dialogs->events, QStringList({NotAddedBox()}));
    // The list shows the last row added.
    QTreeWidget& list = *form->ListView1;
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(list.topLevelItem(35))));
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
    QTreeWidget& list = *form->ListView1;
    list.topLevelItem(3)->setText(0, "four");
    list.setCurrentItem(list.topLevelItem(1));
    list.topLevelItem(0)->setSelected(true);
    list.topLevelItem(6)->setSelected(true);

    form->SortByFileName1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /a/page1.jpg", "2 /a/page2.jpg", "3 /a/page2.jpg", "4 /y/page2.jpg",
                                        "5 /z/page2.jpg", "6 /c/Page3.JPG", "7 /b/page10.jpg"}));
    // The rows selected before are selected where they are now; the same path keeps its order.
    QStringList selected;
    for (QTreeWidgetItem* row : list.selectedItems()) {
        selected << QString::number(list.indexOfTopLevelItem(row)) + " " + row->text(1);
    }
    selected.sort();
    EXPECT_EQ(selected, QStringList({"2 /a/page2.jpg", "4 /z/page2.jpg", "6 /b/page10.jpg"}));
    EXPECT_EQ(list.currentItem()->text(1), "/z/page2.jpg");
    EXPECT_TRUE(dialogs->events.isEmpty());
}

}  // namespace
