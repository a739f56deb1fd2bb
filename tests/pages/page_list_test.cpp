#include "pages/page_list.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "tests/support/qt_printers.h"

namespace {

class PageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.setColumnCount(2);
        list.header()->setStretchLastSection(false);
        list.setColumnWidth(kPageColumn, 80);
        list.setColumnWidth(kPathColumn, 200);
        list.resize(400, 300);
        AppendPages(list, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg", "/p/e.jpg"});
    }

    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            rows << list.topLevelItem(row)->text(kPageColumn) + " " + list.topLevelItem(row)->text(kPathColumn);
        }
        return rows;
    }

    QTreeWidget list;
};

TEST_F(PageListTest, RowsAboveBothPlacesOfAMovedRowKeepTheirTexts)
{
    list.topLevelItem(0)->setText(kPageColumn, "one");
    list.topLevelItem(2)->setText(kPageColumn, "three");
    list.topLevelItem(4)->setText(kPageColumn, "five");
    list.topLevelItem(3)->setSelected(true);
    MovePageBefore(list, *list.topLevelItem(3), *list.topLevelItem(1));
    EXPECT_EQ(Rows(), QStringList({"one /p/a.jpg", "2 /p/d.jpg", "3 /p/b.jpg", "4 /p/c.jpg", "5 /p/e.jpg"}));
    // The moved row keeps neither its selection nor its place.
    EXPECT_EQ(FirstSelectedRow(list), nullptr);
}

TEST_F(PageListTest, TheRowAtAHeightIsFoundAlsoRightOfTheLastColumn)
{
    const QRect third = list.visualItemRect(list.topLevelItem(2));
    // Right of the last column there is no cell to hit.
    ASSERT_EQ(list.itemAt(350, third.center().y()), nullptr);
    EXPECT_EQ(RowAtHeight(list, third.center().y()), list.topLevelItem(2));
    EXPECT_EQ(RowAtHeight(list, list.visualItemRect(list.topLevelItem(4)).bottom() + 5), nullptr);
}

}  // namespace
