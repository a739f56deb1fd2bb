#include "app/controls/img_btn.h"

#include "tests/app/controls/control_test_support.h"
#include "tests/support/qt_printers.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A close button as the window has one: 25 x 31 with 24 x 20 pictures, over a banner.
class ImgBtnTest : public ::testing::Test {
protected:
    ImgBtnTest()
    {
        button.setGeometry(40, 20, 25, 31);
        button.SetPic(SolidImage(QSize(24, 20), Qt::red));
        button.SetPicUp(SolidImage(QSize(24, 20), Qt::green));
        button.SetPicDown(SolidImage(QSize(24, 20), Qt::blue));
        button.show();
        button.OnMouseEnter = [this](const QEvent&) { calls << "enter"; };
        button.OnMouseLeave = [this](const QEvent&) { calls << "leave"; };
        button.OnMouseDown = [this](const QEvent&) { calls << "down"; };
        button.OnMouseUp = [this](const QEvent&) { calls << "up"; };
        QObject::connect(&button, &TImgBtn::clicked, [this] {
            calls << "click";
            pictureAtClick = button.Picture();
        });
    }

    TestHost host{QSize(120, 80)};
    TImgBtn button{&host};
    PointerDriver pointer{host};
    QStringList calls;
    QImage pictureAtClick;
    const QPoint inside{10, 10};
    const QPoint outside{-30, 10};
};

TEST_F(ImgBtnTest, PressDragOutComeBackAndReleaseFollowsThePointer)
{
    pointer.Move(button, inside);
    EXPECT_EQ(button.Picture(), button.PicUp());
    pointer.Press(button, inside);
    EXPECT_EQ(button.Picture(), button.PicDown());
    pointer.Move(button, outside);
    EXPECT_EQ(button.Picture(), button.Pic());
    pointer.Move(button, inside);
    EXPECT_EQ(button.Picture(), button.PicDown());
    pointer.Release(button, inside);
    EXPECT_EQ(button.Picture(), button.PicUp());
    EXPECT_EQ(pictureAtClick, button.PicDown());
    EXPECT_EQ(calls, QStringList({"enter", "down", "leave", "enter", "click", "up"}));
}

TEST_F(ImgBtnTest, ReleaseOutsideOrOtherButtonsReportNoClick)
{
    pointer.Move(button, inside);
    pointer.Press(button, inside, Qt::RightButton);
    pointer.Release(button, inside, Qt::RightButton);
    EXPECT_EQ(button.Picture(), button.PicUp());

    pointer.Press(button, inside);
    pointer.Move(button, outside);
    pointer.Release(button, outside);
    EXPECT_EQ(button.Picture(), button.Pic());
    // Qt's own leave after the release is not a second leave, and the press is over.
    pointer.Move(button, inside);
    EXPECT_EQ(button.Picture(), button.PicUp());
    EXPECT_EQ(calls, QStringList({"enter", "down", "leave", "up", "enter"}));
}

TEST_F(ImgBtnTest, DoubleClickReportsOneClick)
{
    pointer.Move(button, inside);
    pointer.Press(button, inside);
    pointer.Release(button, inside);
    pointer.PressAgain(button, inside);
    EXPECT_EQ(button.Picture(), button.PicUp());
    pointer.Release(button, inside);
    EXPECT_EQ(button.Picture(), button.PicUp());
    EXPECT_EQ(calls, QStringList({"enter", "down", "click", "up", "up"}));
}

TEST_F(ImgBtnTest, PicturesChangeOnlyOnNotificationsWhileSupported)
{
    pointer.Move(button, inside);
    const QImage hover = button.Picture();
    button.SetPicUp(SolidImage(QSize(24, 20), Qt::yellow));
    button.SetPicDown(SolidImage(QSize(24, 20), Qt::cyan));
    EXPECT_EQ(button.Picture(), hover);

    button.SetSupported(false);
    pointer.Press(button, inside);
    pointer.Move(button, outside);
    pointer.Move(button, inside);
    pointer.Release(button, inside);
    EXPECT_EQ(button.Picture(), hover);
    EXPECT_EQ(calls, QStringList({"enter", "click"}));
}

TEST_F(ImgBtnTest, DrawsItsPictureUnscaledAtTheTopLeftOverItsParent)
{
    // The minimise button's pictures are wider than the button: the rest is cut off.
    button.SetPic(SolidImage(QSize(40, 20), Qt::red));
    const QImage drawn = RenderOver(button, Qt::black);
    EXPECT_EQ(BoundsOf(drawn, Qt::red), QRect(0, 0, 25, 20));
    EXPECT_EQ(CountOf(drawn, Qt::black), 25 * 11);
}

}  // namespace
