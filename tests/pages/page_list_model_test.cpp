// The page list's rows without a window: every change is checked by Qt's own model tester, which
// fails on any signal that does not match what the model then holds.

#include "pages/page_list_model.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>

#include <gtest/gtest.h>

namespace {

// Qt's model tester expects the first column of a row to keep its value while rows come and go
// around it; the page number does not, as it is the row's position. The tester therefore watches the
// paths, through a proxy that leaves the page numbers out, and which itself follows the model's
// signals only: a wrong signal shows in the paths the proxy then gives.
class PathsOnly : public QSortFilterProxyModel {
public:
    explicit PathsOnly(PageListModel& pages)
    {
        setDynamicSortFilter(false);
        setSourceModel(&pages);
    }

protected:
    bool filterAcceptsColumn(int column, const QModelIndex&) const override { return column == kPathColumn; }
};

// The model tester on the paths; it stops the test program at the first fault it sees.
class TestedPages {
public:
    TestedPages() : paths_(pages), tester_(&paths_, QAbstractItemModelTester::FailureReportingMode::Fatal) {}

    PageListModel pages;

private:
    PathsOnly paths_;
    QAbstractItemModelTester tester_;
};

QStringList Names(const PageListModel& pages)
{
    QStringList names;
    for (const PageRow& row : pages.Rows()) {
        names << row.name;
    }
    return names;
}

// Pages a.jpg, b.jpg, ... in /p/, as many as asked.
QStringList LetterPaths(int count)
{
    QStringList paths;
    for (int page = 0; page < count; ++page) {
        paths << QString("/p/%1.jpg").arg(QChar(u'a' + page));
    }
    return paths;
}

TEST(PageListModelTest, RowsTakenAwayComeBackExactlyWhereTheyWereHoweverScatteredTheyAre)
{
    TestedPages tested;
    PageListModel& pages = tested.pages;
    pages.InsertRows(0, RowsForPaths(LetterPaths(20) + QStringList{"/q/x.jpg", "y.jpg"}));
    const PageRows all = pages.Rows();
    // The pages of one folder share its text.
    EXPECT_EQ(all[0].folder.constData(), all[19].folder.constData());
    EXPECT_EQ(all[20].Path(), "/q/x.jpg");
    EXPECT_EQ(all[21].folder, "");
    EXPECT_EQ(pages.Paths().at(21), "y.jpg");

    // A few ranges are told to the views range by range, many as one reset; both the first and the
    // last row among them.
    for (const QList<int>& positions :
         {QList<int>{0, 1, 5, 21}, QList<int>{0, 2, 4, 6, 8, 10, 11, 12, 14, 16, 18, 21}}) {
        const QPersistentModelIndex kept = pages.index(3, 1);
        const RowRanges ranges = RangesOfPositions(positions);
        const PageRows removed = pages.RemoveRanges(ranges);
        ASSERT_EQ(removed.size(), positions.size());
        for (qsizetype i = 0; i < positions.size(); ++i) {
            EXPECT_EQ(removed[i], all[positions[i]]);
        }
        EXPECT_EQ(pages.rowCount(), all.size() - positions.size());
        if (ranges.size() == 3) {
            // Signalled range by range, a row that stays keeps its place in the views.
            EXPECT_EQ(kept.row(), 1);
        }
        pages.InsertRanges(ranges, removed);
        EXPECT_EQ(pages.Rows(), all);
    }
}

TEST(PageListModelTest, MovedAndReorderedRowsTakeTheViewsSelectionAlong)
{
    TestedPages tested;
    PageListModel& pages = tested.pages;
    pages.InsertRows(0, RowsForPaths(LetterPaths(5)));
    const QPersistentModelIndex b = pages.index(1, 0);
    const QPersistentModelIndex e = pages.index(4, 1);

    pages.MoveRow(1, 3);
    EXPECT_EQ(Names(pages), QStringList({"a.jpg", "c.jpg", "d.jpg", "b.jpg", "e.jpg"}));
    EXPECT_EQ(b.row(), 3);
    pages.MoveRow(4, 0);
    EXPECT_EQ(Names(pages), QStringList({"e.jpg", "a.jpg", "c.jpg", "d.jpg", "b.jpg"}));
    EXPECT_EQ(e.row(), 0);
    EXPECT_EQ(e.column(), 1);
    // The page number is the position, whatever moved.
    EXPECT_EQ(pages.index(4, 0).data(), "5");
    EXPECT_EQ(pages.index(4, 1).data(), "/p/b.jpg");

    pages.Reorder({4, 3, 2, 1, 0});
    EXPECT_EQ(Names(pages), QStringList({"b.jpg", "d.jpg", "c.jpg", "a.jpg", "e.jpg"}));
    EXPECT_EQ(b.row(), 0);
    EXPECT_EQ(e.row(), 4);
}

}  // namespace
