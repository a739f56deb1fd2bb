#include "app/error_box.h"
#include "app/picture_box.h"
#include "tests/app/window/window_test_support.h"
#include "tests/pages/picture_checks.h"
#include "tests/pages/test_jpegs.h"
#include "tests/pictures/test_pictures.h"
#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QTest>

#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <gtest/gtest.h>

namespace {

class WindowPreviewTest : public WindowTest {
protected:
    // Adds a row for a picture of `size` made by the test, and returns its row.
    int AddPicture(QSize size)
    {
        const QString path = PathIn(QString("%1x%2.jpg").arg(size.width()).arg(size.height()));
        WriteTestFile(path, MakeTestJpeg(size));
        AddRow(path);
        return RowCount() - 1;
    }

    QSize PreviewSizeAfterClickOn(int row)
    {
        ClickAt(RowPoint(row));
        return form->Image1->Picture().size();
    }
};

TEST_F(WindowPreviewTest, AClickOnARowShowsItsPictureAtTheResolutionOfItsFactor)
{
    const int fits = AddPicture({140, 168});
    const int small = AddPicture({100, 50});
    const int wide = AddPicture({1400, 1000});
    const int tall = AddPicture({1000, 1500});
    const int square = AddPicture({500, 500});
    const int factorZero = AddPicture({150, 160});

    EXPECT_EQ(PreviewSizeAfterClickOn(fits), QSize(140, 168));
    EXPECT_EQ(PreviewSizeAfterClickOn(small), QSize(100, 50));
    EXPECT_EQ(PreviewSizeAfterClickOn(wide), QSize(140, 100));
    EXPECT_EQ(PreviewSizeAfterClickOn(tall), QSize(125, 187));
    EXPECT_EQ(PreviewSizeAfterClickOn(square), QSize(166, 166));
    // Too large for the box but a factor of 0: shown unreduced instead of leaving the last picture.
    EXPECT_EQ(PreviewSizeAfterClickOn(factorZero), QSize(150, 160));

    // Whatever its resolution, the picture fills the whole box.
    ClickAt(RowPoint(small));
    const QImage shown = form->Image1->grab().toImage();
    EXPECT_EQ(shown.size(), QSize(140, 168));
    EXPECT_TRUE(ShowsQuadrants(shown));
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowPreviewTest, AClickOrAKeyThatMovesTheCurrentRowShowsTheFirstSelectedRow)
{
    const int first = AddPicture({280, 100});
    AddPicture({560, 100});
    const int third = AddPicture({420, 120});
    const QImage placeholder = form->Image1->Picture();

    // The keyboard moves the current row, and the preview follows it as after a click on it.
    SetCurrentRow(first);
    EXPECT_EQ(form->Image1->Picture(), placeholder);
    QTest::keyClick(form->ListView1, Qt::Key_Down);
    ASSERT_TRUE(IsRowSelected(1));
    EXPECT_EQ(form->Image1->Picture().size(), QSize(140, 25));
    QTest::keyClick(form->ListView1, Qt::Key_End);
    EXPECT_EQ(form->Image1->Picture().size(), QSize(140, 40));
    QTest::keyClick(form->ListView1, Qt::Key_PageUp);
    const QImage shown = form->Image1->Picture();
    EXPECT_EQ(shown.size(), QSize(140, 50));

    // A click below the last row selects nothing and changes nothing.
    ClickAt(form->ListView1->viewport()->mapTo(form.get(), QPoint(100, form->ListView1->viewport()->height() - 5)));
    EXPECT_EQ(form->Image1->Picture(), shown);

    // With several rows selected, the first in list order is shown, whichever was clicked last.
    ClickAt(RowPoint(third));
    EXPECT_EQ(form->Image1->Picture().size(), QSize(140, 40));
    ClickAt(RowPoint(first), Qt::ControlModifier);
    EXPECT_EQ(form->Image1->Picture().size(), QSize(140, 50));
    ClickAt(RowPoint(1), Qt::ControlModifier);
    EXPECT_EQ(form->Image1->Picture().size(), QSize(140, 50));
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowPreviewTest, APictureTheDecoderRejectsReachesTheErrorBoxAndThePreviewStays)
{
    const int good = AddPicture({280, 100});
    WriteTestFile(PathIn("notes.jpg"), "These are notes, not a picture.");
    AddRow(PathIn("notes.jpg"));
    // A JPEG picture whose start-of-image marker comes twice.
    WriteTestFile(PathIn("twice.jpg"), QByteArray("\xFF\xD8\xFF\xD8") + QByteArray(64, '\0'));
    AddRow(PathIn("twice.jpg"));
    AddRow(PathIn("missing.jpg"));
    AddRow(QString());

    ClickAt(RowPoint(good));
    const QImage before = form->Image1->Picture();
    EXPECT_EQ(before.size(), QSize(140, 50));

    ClickAt(RowPoint(1));
    ClickAt(RowPoint(2));
    const QString title = ApplicationTitle(QCoreApplication::applicationFilePath());
    // What is wrong (the JPEG decoder's message number for a JPEG picture), then the picture it is about.
    EXPECT_EQ(dialogs->events, QStringList({"error|" + title + "|Not a picture.\n" + PathIn("notes.jpg"),
                                            "error|" + title + "|JPEG error #" + QString::number(JERR_SOI_DUPLICATE)
                                                + ".\n" + PathIn("twice.jpg")}));
    EXPECT_EQ(form->Image1->Picture(), before);

    // A missing file and an empty path are passed over without a word.
    ClickAt(RowPoint(3));
    ClickAt(RowPoint(4));
    EXPECT_EQ(dialogs->events.size(), 2);
    EXPECT_EQ(form->Image1->Picture(), before);
}

TEST_F(WindowPreviewTest, EveryKindOfPictureIsShownUpright)
{
    // Whole blocks of 16 x 16, so that a JPEG picture turns without loss.
    const QSize size(64, 48);
    struct Shown {
        QString name;
        QByteArray bytes;
        std::array<int, 4> corners;  // the stored quadrant shown at the top left, top right, bottom left, bottom right
    };
    QList<Shown> pictures;
    for (const TestPicture& picture : MakeEveryKind(size, PathIn("made"))) {
        pictures.append({picture.name, picture.bytes, {0, 1, 2, 3}});
    }
    pictures.append({"turned half round", WithExifOrientation(MakeTestJpeg(size), 3), {3, 2, 1, 0}});
    pictures.append({"to turn clockwise", WithExifOrientation(MakeTestJpeg(size), 6), {2, 0, 3, 1}});
    pictures.append({"to turn anticlockwise", WithExifOrientation(MakeTestJpeg(size), 8), {1, 3, 0, 2}});
    for (qsizetype row = 0; row < pictures.size(); ++row) {
        WriteTestFile(PathIn(QString("shown/%1.jpg").arg(row)), pictures[row].bytes);
        AddRow(PathIn(QString("shown/%1.jpg").arg(row)));
    }
    for (qsizetype row = 0; row < pictures.size(); ++row) {
        SCOPED_TRACE(pictures[row].name.toStdString());
        form->ListView1->scrollTo(RowIndex(static_cast<int>(row)));
        ClickAt(RowPoint(static_cast<int>(row)));
        const QImage shown = form->Image1->Picture();
        EXPECT_EQ(shown.size(), row >= pictures.size() - 2 ? size.transposed() : size);
        EXPECT_TRUE(ShowsQuadrantsAt(shown, pictures[row].corners, 24));
    }
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowPreviewTest, ATruncatedPictureIsRefusedForTheReasonTheBookRefusesIt)
{
    const QByteArray whole = MakeTestJpeg({300, 200});
    WriteTestFile(PathIn("cut.jpg"), whole.left(whole.size() / 2));
    AddRow(PathIn("cut.jpg"));
    ClickAt(RowPoint(0));
    ASSERT_EQ(dialogs->events.size(), 1);
    EXPECT_TRUE(dialogs->events[0].contains("The picture is cut short.\n" + PathIn("cut.jpg")))
        << dialogs->events[0].toStdString();
}

}  // namespace
