#include "pages/page_list_model.h"
#include "preview/thumbnail_loader.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Status = ThumbnailLoader::Status;

class WindowThumbnailsTest : public WindowTest {
protected:
    ThumbnailLoader& Thumbnails() const { return form->ListView1->Thumbnails(); }

    // Waits until every row in view has its thumbnail, or its mark.
    bool RowsInViewShown() const
    {
        return QTest::qWaitFor([this] {
            const auto [first, last] = form->ListView1->RowsInView();
            for (int row = first; row <= last; ++row) {
                if (Thumbnails().Find(Pages().Path(row)) == Status::NotYet) {
                    return false;
                }
            }
            return first >= 0;
        });
    }
};

TEST_F(WindowThumbnailsTest, RowsInViewGetTheirThumbnailsAndTheCacheKeepsToItsBudgetAtFiftyThousandPages)
{
    // 50,000 pages, each a file of its own (hard links to one 480 x 640 picture), the second one no picture.
    const QString original = MakePicture("original.jpg");
    QDir().mkpath(PathIn("pages"));
    QStringList paths;
    for (int page = 0; page < 50000; ++page) {
        paths << PathIn(QString("pages/%1.jpg").arg(page));
        if (page != 1) {
            ASSERT_EQ(::link(QFile::encodeName(original).constData(), QFile::encodeName(paths.last()).constData()), 0);
        }
    }
    WriteTestFile(paths[1], "notes, not a picture");
    Pages().InsertRows(0, RowsForPaths(paths));

    ASSERT_TRUE(RowsInViewShown());
    QImage thumbnail;
    EXPECT_EQ(Thumbnails().Find(paths[0], &thumbnail), Status::Ready);
    EXPECT_EQ(thumbnail.size(), QSize(18, 24));
    EXPECT_EQ(Thumbnails().Find(paths[1]), Status::Failed);
    // The picture that failed shows its mark, a red cross, where the others show their pictures.
    const QImage shown = form->ListView1->viewport()->grab(form->ListView1->RowRect(1)).toImage();
    bool red = false;
    for (int x = 0; x < 30; ++x) {
        red = red || shown.pixelColor(x, shown.height() / 2) == QColor(0xc0, 0x30, 0x30);
    }
    EXPECT_TRUE(red);
    // Only the rows in view, and a screen below, are decoded: not the whole list.
    const auto [first, last] = form->ListView1->RowsInView();
    EXPECT_EQ(Thumbnails().Find(paths[last + 2 * (last - first + 1)]), Status::NotYet);
    EXPECT_EQ(Thumbnails().Find(paths[25000]), Status::NotYet);

    // Through the list in long jumps, with a budget of a few screens: each screen comes, the cache stays within.
    const qint64 budget = 64 * 1024;
    Thumbnails().SetBudget(budget);
    for (int row = 0; row < 50000; row += 2777) {
        form->ListView1->scrollTo(RowIndex(row), QAbstractItemView::PositionAtTop);
        ASSERT_TRUE(RowsInViewShown()) << row;
        EXPECT_LE(Thumbnails().CachedBytes(), budget);
    }
    EXPECT_GT(Thumbnails().CachedBytes(), budget / 2);
}

}  // namespace
