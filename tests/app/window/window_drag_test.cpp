#include "app/picture_box.h"
#include "tests/app/window/window_test_support.h"
#include "tests/pages/test_jpegs.h"
#include "tests/support/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Five pages A to E, each a picture that a click would put into the preview.
class WindowDragTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char* name : {"A", "B", "C", "D", "E"}) {
            const QString path = PathIn(QString(name) + ".jpg");
            WriteTestFile(path, MakeTestJpeg({280, 100}));
            AddRow(path);
        }
        placeholder = form->Image1->Picture();
    }

    // The rows as "page name" texts: "1 A", "2 B", ...
    QStringList Rows() const
    {
        QStringList rows;
        for (const QString& row : PageTexts()) {
            const QStringList parts = row.split(' ');
            rows << parts[0] + " " + QFileInfo(parts[1]).baseName();
        }
        return rows;
    }

    // Selects just this row, with a click.
    void Select(int row) { ClickAt(RowPoint(row)); }

    QImage placeholder;
};

const QStringList kUnchanged = {"1 A", "2 B", "3 C", "4 D", "5 E"};

TEST_F(WindowDragTest, ARowDraggedDownLandsJustAboveTheRowItIsDroppedOn)
{
    DragRowTo(0, RowPoint(3));
    EXPECT_EQ(Rows(), QStringList({"1 B", "2 C", "3 A", "4 D", "5 E"}));
    // Pressing a row and dragging it is no click: the preview did not change.
    EXPECT_EQ(form->Image1->Picture(), placeholder);
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowDragTest, ARowDraggedUpTakesThePlaceOfTheRowItIsDroppedOn)
{
    // Dropped right of the last column, where no cell lies but the row does.
    QWidget* viewport = form->ListView1->viewport();
    const int rightEdge = viewport->mapTo(form.get(), QPoint(viewport->width() - 3, 0)).x();
    DragRowTo(4, QPoint(rightEdge, RowPoint(1).y()));
    EXPECT_EQ(Rows(), QStringList({"1 A", "2 E", "3 B", "4 C", "5 D"}));
}

TEST_F(WindowDragTest, DropsOnItselfOnTheRowBelowOrBelowTheLastRowChangeNothing)
{
    DragRowTo(2, RowPoint(2));
    EXPECT_EQ(Rows(), kUnchanged);
    DragRowTo(1, RowPoint(2));
    EXPECT_EQ(Rows(), kUnchanged);
    const int rowHeight = form->ListView1->RowRect(4).height();
    const QPoint belowTheRows = RowPoint(4) + QPoint(0, 3 * rowHeight);
    DragRowTo(0, belowTheRows);
    EXPECT_EQ(Rows(), kUnchanged);
    EXPECT_EQ(form->Image1->Picture(), placeholder);
}

TEST_F(WindowDragTest, WithSeveralRowsSelectedOnlyTheFirstSelectedMoves)
{
    Select(1);
    ClickAt(RowPoint(3), Qt::ControlModifier);
    ASSERT_TRUE(IsRowSelected(3));
    DragRowTo(1, RowPoint(4));
    EXPECT_EQ(Rows(), QStringList({"1 A", "2 C", "3 D", "4 B", "5 E"}));
    // D is still selected; the moved B is not.
    EXPECT_TRUE(IsRowSelected(2));
    EXPECT_FALSE(IsRowSelected(3));
}

}  // namespace
