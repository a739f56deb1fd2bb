#include "app/controls/png_button.h"

#include "app/controls/disabled_image.h"
#include "tests/app/controls/control_test_support.h"
#include "tests/support/qt_printers.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

using enum TPNGButtonLayout;
using enum TPNGButtonState;
using enum TPNGButtonStyle;

TEST(PlacePNGButtonContent, CentresImageAndCaptionByLayout)
{
    struct Case {
        TPNGButtonLayout layout;
        bool pressed;
        QPoint image;
        QPoint caption;
    };
    // A 58 x 58 button, a 32 x 32 image, a 40 x 13 caption. Above: the 32 + 4 + 13 block centred.
    // Below: the same block, the image right after the caption. Left and right: 5 pixels
    // between, the image 2 pixels above its centred place, pressing moves down only.
    for (const Case& c : {Case{pbsImageAbove, false, {13, 4}, {9, 40}}, Case{pbsImageAbove, true, {15, 6}, {11, 42}},
                          Case{pbsImageBellow, false, {13, 17}, {9, 4}}, Case{pbsImageBellow, true, {15, 19}, {11, 6}},
                          Case{pbsImageLeft, false, {-7, 11}, {30, 22}}, Case{pbsImageLeft, true, {-7, 13}, {30, 24}},
                          Case{pbsImageRight, false, {38, 11}, {-7, 22}}}) {
        const TPNGButtonPlacement placed =
            PlacePNGButtonContent({58, 58}, {32, 32}, QSize(40, 13), c.layout, c.pressed);
        EXPECT_EQ(placed.image, c.image) << static_cast<int>(c.layout) << " pressed " << c.pressed;
        EXPECT_EQ(placed.caption, c.caption) << static_cast<int>(c.layout) << " pressed " << c.pressed;
    }
    // Without caption the image is centred in every layout; halves round toward zero.
    for (TPNGButtonLayout layout : {pbsImageAbove, pbsImageBellow, pbsImageLeft, pbsImageRight}) {
        EXPECT_EQ(PlacePNGButtonContent({57, 58}, {32, 32}, std::nullopt, layout, false).image, QPoint(12, 13));
        EXPECT_EQ(PlacePNGButtonContent({23, 23}, {32, 32}, std::nullopt, layout, false).image, QPoint(-4, -4));
    }
}

const QColor kImageColor(255, 0, 0);
const QColor kOverColor(0, 255, 0);
const QColor kCaptionColor(255, 255, 255);
const QColor kGreyText(128, 128, 128);
const QColor kLight(250, 250, 250);
const QColor kDark(100, 100, 100);
const QColor kShadow(20, 20, 20);
const QColor kFace(180, 180, 180);
const QString kNoHeader = "This operation is not valid because the current image contains no valid header.";

// A command button as the window has them, over a black banner, with its text not antialiased
// so that caption pixels have exactly the caption's colour.
class PNGButtonTest : public ::testing::Test {
protected:
    PNGButtonTest()
    {
        QFont font("Arial");
        font.setPixelSize(11);
        font.setStyleStrategy(QFont::NoAntialias);
        button.setFont(font);
        QPalette palette;
        for (auto [role, color] : {std::pair{QPalette::Light, kLight},
                                   {QPalette::Dark, kDark},
                                   {QPalette::Shadow, kShadow},
                                   {QPalette::Button, kFace},
                                   {QPalette::Midlight, QColor(220, 220, 220)}})
            palette.setColor(role, color);
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, kGreyText);
        button.setPalette(palette);
        button.SetFontColor(kCaptionColor);
        button.setGeometry(20, 20, 58, 58);
        button.SetButtonStyle(pbsFlat);
        button.SetImageNormal(SolidImage(QSize(32, 32), kImageColor));
        button.show();
        QObject::connect(&button, &TPNGButton::clicked, [this] {
            ++clicks;
            stateAtClick = button.State();
        });
    }

    QImage Drawn() { return RenderOver(button, Qt::black); }

    // Every pixel of each area has the area's colour.
    static void ExpectAreas(const QImage& drawn, std::initializer_list<std::pair<QRect, QColor>> areas)
    {
        for (const auto& [area, color] : areas) {
            EXPECT_EQ(CountOf(drawn.copy(area), color), area.width() * area.height()) << area.x() << "," << area.y();
        }
    }

    // Where the caption's ink lies in the button when the top-left corner of its text is at topLeft.
    QRect CaptionInk(QPoint topLeft) const
    {
        QImage alone(button.size(), QImage::Format_ARGB32);
        alone.fill(Qt::black);
        QPainter painter(&alone);
        painter.setFont(button.font());
        painter.setPen(kCaptionColor);
        painter.drawText(QRect(topLeft, QSize(1000, 100)), Qt::AlignLeft | Qt::AlignTop, button.Caption());
        return BoundsOf(alone, kCaptionColor);
    }

    TestHost host{QSize(120, 100)};
    TPNGButton button{&host};
    PointerDriver pointer{host};
    int clicks = 0;
    TPNGButtonState stateAtClick = pbsDisabled;
    const QPoint inside{29, 29};
    const QPoint outside{-10, 29};
};

TEST_F(PNGButtonTest, DrawsImageAndCaptionWherePlaced)
{
    button.SetButtonStyle(pbsNoFrame);
    button.SetCaption("Remove");
    const QFontMetrics metrics(button.font());
    const QSize caption(metrics.horizontalAdvance("Remove"), metrics.height());
    for (TPNGButtonLayout layout : {pbsImageAbove, pbsImageBellow, pbsImageLeft, pbsImageRight}) {
        button.SetButtonLayout(layout);
        const TPNGButtonPlacement placed = PlacePNGButtonContent(button.size(), {32, 32}, caption, layout, false);
        const QImage drawn = Drawn();
        EXPECT_EQ(BoundsOf(drawn, kImageColor), QRect(placed.image, QSize(32, 32)) & button.rect());
        EXPECT_EQ(BoundsOf(drawn, kCaptionColor), CaptionInk(placed.caption));
    }
}

TEST_F(PNGButtonTest, DefaultFaceIsRaisedOrSunken)
{
    button.SetButtonStyle(pbsDefault);
    button.SetImageNormal(SolidImage(QSize(1, 1), Qt::transparent));
    ExpectAreas(Drawn(), {{QRect(0, 0, 57, 1), kLight},
                          {QRect(0, 0, 1, 57), kLight},
                          {QRect(57, 0, 1, 58), kShadow},
                          {QRect(0, 57, 58, 1), kShadow},
                          {QRect(56, 1, 1, 56), kDark},
                          {QRect(1, 56, 56, 1), kDark},
                          {QRect(1, 1, 55, 55), kFace}});
    pointer.Move(button, inside);
    pointer.Press(button, inside);
    ExpectAreas(Drawn(), {{QRect(0, 0, 57, 1), kShadow},
                          {QRect(0, 0, 1, 57), kShadow},
                          {QRect(57, 0, 1, 58), kLight},
                          {QRect(0, 57, 58, 1), kLight},
                          {QRect(1, 1, 56, 1), kDark},
                          {QRect(1, 1, 1, 56), kDark},
                          {QRect(2, 2, 55, 55), kFace}});
    pointer.Release(button, inside);
}

TEST_F(PNGButtonTest, FlatFrameAndImageFollowHoverAndPress)
{
    const QImage plain = Drawn();
    EXPECT_EQ(CountOf(plain, Qt::black), 58 * 58 - 32 * 32);
    button.SetImageOver(SolidImage(QSize(32, 32), kOverColor));
    button.SetImageDown(SolidImage(QSize(32, 32), Qt::blue));
    const auto raised = {std::pair{QRect(0, 0, 57, 1), kLight},
                         {QRect(0, 0, 1, 57), kLight},
                         {QRect(57, 0, 1, 58), kDark},
                         {QRect(0, 57, 58, 1), kDark}};
    pointer.Move(button, inside);
    ExpectAreas(Drawn(), raised);
    ExpectAreas(Drawn(), {{QRect(13, 13, 32, 32), kOverColor}});
    pointer.Press(button, inside);
    ExpectAreas(Drawn(), {{QRect(0, 0, 57, 1), kDark},
                          {QRect(0, 0, 1, 57), kDark},
                          {QRect(57, 0, 1, 58), kLight},
                          {QRect(0, 57, 58, 1), kLight},
                          {QRect(15, 15, 32, 32), Qt::blue}});
    // Held with the pointer dragged off: raised, with the normal image at its place.
    pointer.Move(button, outside);
    ExpectAreas(Drawn(), raised);
    ExpectAreas(Drawn(), {{QRect(13, 13, 32, 32), kImageColor}});
    pointer.Release(button, outside);
    EXPECT_EQ(Drawn(), plain);
}

TEST_F(PNGButtonTest, CaptionIsClippedInsideTheFlatFrame)
{
    button.SetImageNormal(SolidImage(QSize(8, 8), Qt::transparent));
    button.SetCaption("WWWWWWWWWWWWWWWW");
    pointer.Move(button, inside);
    const QImage drawn = Drawn();
    const QRect ink = BoundsOf(drawn, kCaptionColor);
    EXPECT_TRUE(ink.left() <= 3 && ink.right() >= 54);
    ExpectAreas(drawn, {{QRect(0, 0, 1, 57), kLight}, {QRect(57, 0, 1, 58), kDark}});
}

TEST_F(PNGButtonTest, DisabledLooksFadedWithoutFrameAndWithGreyCaption)
{
    button.SetImageOver(SolidImage(QSize(32, 32), kOverColor));
    button.SetCaption("Convert");
    pointer.Move(button, inside);
    const QImage hovered = Drawn();
    button.setEnabled(false);
    EXPECT_EQ(button.State(), pbsDisabled);
    const QImage disabled = Drawn();
    EXPECT_EQ(BoundsOf(disabled, QColor(85, 0, 0)), BoundsOf(hovered, kOverColor));  // alpha 255 / 3 over black
    EXPECT_EQ(CountOf(disabled, kGreyText), CountOf(hovered, kCaptionColor));
    EXPECT_EQ(CountOf(disabled, kLight) + CountOf(disabled, kDark) + CountOf(disabled, kCaptionColor), 0);
    button.setEnabled(true);
    EXPECT_EQ(Drawn(), hovered);
}

TEST_F(PNGButtonTest, StateFollowsTheMouse)
{
    QStringList calls;
    button.OnMouseEnter = [&](TPNGButton& sender) { calls << QString("enter %1").arg(sender.MouseOver()); };
    button.OnMouseExit = [&](TPNGButton& sender) { calls << QString("exit %1").arg(sender.MouseOver()); };
    pointer.Move(button, inside);
    pointer.Press(button, inside);
    EXPECT_TRUE(button.Pressed());
    pointer.Release(button, inside);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(stateAtClick, pbsUp);  // drawn up before the handler runs

    pointer.Press(button, inside);
    pointer.Move(button, outside);
    EXPECT_EQ(button.State(), pbsDown);
    pointer.Release(button, outside);
    EXPECT_EQ(button.State(), pbsUp);

    pointer.Move(button, inside);
    pointer.Press(button, inside, Qt::RightButton);
    EXPECT_EQ(button.State(), pbsUp);
    pointer.Release(button, inside, Qt::RightButton);
    EXPECT_EQ(clicks, 1);

    // The second press of a double click shows the pressed look; its release is no click.
    int doubleClicks = 0;
    QObject::connect(&button, &TPNGButton::doubleClicked, [&] { ++doubleClicks; });
    pointer.Press(button, inside);
    pointer.Release(button, inside);
    pointer.PressAgain(button, inside);
    EXPECT_TRUE(doubleClicks == 1 && button.Pressed());
    pointer.Release(button, inside);
    EXPECT_EQ(clicks, 2);

    button.setEnabled(false);
    pointer.Move(button, outside);
    EXPECT_TRUE(button.MouseOver());
    EXPECT_EQ(calls, QStringList({"enter 0", "exit 1", "enter 0"}));
}

TEST_F(PNGButtonTest, MissingImageNormalIsReportedAndDisablingLeavesTheState)
{
    try {
        button.SetImageNormal(QImage());
        ADD_FAILURE() << "no error raised";
    } catch (const ImageHeaderError& error) {
        EXPECT_EQ(error.what(), kNoHeader);
    }
    EXPECT_TRUE(button.ImageNormal().isNull());

    // Disabling happens inside Qt's event handling: the error goes to OnError.
    QStringList errors;
    button.OnError = [&](const std::exception& error) { errors << error.what(); };
    button.setEnabled(false);
    EXPECT_EQ(errors, QStringList({kNoHeader}));
    EXPECT_EQ(button.State(), pbsUp);
}

}  // namespace
