#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/interface_art.h"
#include "app/labeled_edit.h"
#include "app/panel.h"
#include "app/picture_box.h"
#include "app/window_chrome.h"
#include "common/product.h"
#include "tests/app/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

struct ControlPlace {
    const char* name;
    const char* parent;
    QRect rect;
};

// The rectangles of the window's layout after alignment, in the parent's client coordinates.
const ControlPlace kLayout[] = {
    {"PanelTop", "Form1", {0, 0, 719, 135}},
    {"PanelBtm", "Form1", {0, 467, 719, 45}},
    {"PanelLeft", "Form1", {0, 135, 171, 332}},
    {"Image9", "Form1", {704, 135, 15, 332}},
    {"PanelClient", "Form1", {171, 135, 533, 332}},

    {"Image4", "PanelTop", {333, 0, 206, 135}},
    {"Image2", "PanelTop", {0, 0, 333, 135}},
    {"Image6", "PanelTop", {539, 0, 180, 135}},
    {"ImgBtnMin", "PanelTop", {649, 8, 25, 31}},
    {"ImgBtnClose", "PanelTop", {673, 8, 25, 31}},
    {"PNGButton1", "PanelTop", {56, 40, 58, 58}},
    {"PNGButton5", "PanelTop", {256, 40, 58, 58}},
    {"PNGButton4", "PanelTop", {184, 40, 58, 58}},
    {"PNGButton3", "PanelTop", {112, 40, 73, 58}},
    {"PNGButton2", "PanelTop", {0, 40, 58, 58}},

    {"Image8", "PanelLeft", {150, 0, 21, 332}},
    {"Image7", "PanelLeft", {0, 0, 8, 332}},
    {"PanelLeftBtm", "PanelLeft", {8, 0, 142, 332}},

    {"Image1", "PanelLeftBtm", {1, 1, 140, 168}},
    {"Image16", "PanelLeftBtm", {1, 169, 140, 10}},
    {"Image5", "PanelLeftBtm", {1, 179, 140, 24}},
    {"Image15", "PanelLeftBtm", {1, 203, 140, 53}},
    {"Image12", "PanelLeftBtm", {1, 256, 140, 24}},
    {"Image14", "PanelLeftBtm", {1, 280, 140, 51}},
    {"Edit1", "PanelLeftBtm", {8, 216, 121, 21}},
    {"Edit2", "PanelLeftBtm", {8, 288, 121, 21}},

    {"ListView1", "PanelClient", {0, 0, 533, 184}},
    {"PaneClientBtm", "PanelClient", {0, 184, 533, 148}},
    {"PanelImage", "PanelClient", {217, 31, 160, 106}},
    {"ImageM", "PanelImage", {16, 32, 121, 60}},

    {"Image13", "PaneClientBtm", {0, 8, 533, 140}},
    {"Image17", "PaneClientBtm", {0, -8, 533, 16}},
    {"Image18", "PaneClientBtm", {144, 0, 16, 16}},
    {"LabeledEdit3", "PaneClientBtm", {109, 36, 340, 21}},
    {"LabeledEdit4", "PaneClientBtm", {112, 100, 337, 21}},
    {"PNGButton8", "PaneClientBtm", {469, 16, 57, 57}},
    {"PNGButton9", "PaneClientBtm", {469, 80, 57, 57}},

    {"Image3", "PanelBtm", {0, 0, 227, 45}},
    {"Image10", "PanelBtm", {650, 0, 69, 45}},
    {"Image11", "PanelBtm", {227, 0, 423, 45}},
};

QStringList ChildNames(const QWidget& parent)
{
    QStringList names;
    for (const QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        names << child->objectName();
    }
    return names;
}

QRgb Pixel(const QImage& image, QPoint at)
{
    return image.pixel(at) | 0xff000000u;
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, EveryControlHasItsNameParentAndRectangle)
{
    for (const ControlPlace& place : kLayout) {
        SCOPED_TRACE(place.name);
        const auto* control = form->findChild<QWidget*>(QLatin1String(place.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(place.parent));
        EXPECT_EQ(control->geometry(), place.rect);
    }
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->geometry(), QRect(301, 146, 719, 512));
    // The bevel of the panel that holds the preview and the edits takes one pixel on each side.
    EXPECT_EQ(form->PanelLeftBtm->contentsRect(), QRect(1, 1, 140, 330));
}

TEST_F(WindowLayoutTest, WindowIsAFramelessFixedRoundedRectangle)
{
    EXPECT_EQ(form->windowTitle(), kProductTitle);
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form->minimumSize(), QSize(719, 512));
    EXPECT_EQ(form->maximumSize(), QSize(719, 512));
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {48, 48}}));

    // The whole client area, the corners cut off by quarter circles of radius 5.
    const QRegion shape = form->mask();
    EXPECT_EQ(shape.boundingRect(), QRect(0, 0, 719, 512));
    for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(718, 0), QPoint(0, 511),
                                QPoint(718, 511), QPoint(717, 511)}) {
        EXPECT_FALSE(shape.contains(corner)) << corner.x() << "," << corner.y();
    }
    for (const QPoint inside : {QPoint(5, 0), QPoint(0, 5), QPoint(713, 0), QPoint(718, 506), QPoint(2, 2),
                                QPoint(359, 256), QPoint(716, 509)}) {
        EXPECT_TRUE(shape.contains(inside)) << inside.x() << "," << inside.y();
    }
    // All four corners are cut alike: the shape reaches the last column and row exactly as the first.
    auto cutIn = [&shape](QPoint cornerPixel, int dx, int dy) {
        int cut = 0;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 5; ++x) {
                cut += shape.contains(cornerPixel + QPoint(dx * x, dy * y)) ? 0 : 1;
            }
        }
        return cut;
    };
    const int topLeft = cutIn({0, 0}, 1, 1);
    EXPECT_GT(topLeft, 2);
    EXPECT_EQ(cutIn({718, 0}, -1, 1), topLeft);
    EXPECT_EQ(cutIn({0, 511}, 1, -1), topLeft);
    EXPECT_EQ(cutIn({718, 511}, -1, -1), topLeft);
}

TEST_F(WindowLayoutTest, WindowButtonsLieOverEverythingInTheBanner)
{
    EXPECT_EQ(ChildNames(*form->PanelTop),
              QStringList({"Image4", "Image2", "Image6", "PNGButton1", "PNGButton5", "PNGButton4", "PNGButton3",
                           "PNGButton2", "LayoutSwitch", "DirectionSwitch", "ImgBtnMin", "ImgBtnClose"}));
    EXPECT_FALSE(form->PanelImage->isVisible());

    // The close button covers the one column where the two overlap; the command buttons lie over
    // the banner and over each other in the order they were created.
    EXPECT_EQ(form->PanelTop->childAt(672, 10), form->ImgBtnMin);
    EXPECT_EQ(form->PanelTop->childAt(673, 10), form->ImgBtnClose);
    EXPECT_EQ(form->PanelTop->childAt(20, 50), form->PNGButton2);
    EXPECT_EQ(form->PanelTop->childAt(57, 50), form->PNGButton2);
    EXPECT_EQ(form->PanelTop->childAt(113, 50), form->PNGButton3);
    EXPECT_EQ(form->PanelTop->childAt(184, 50), form->PNGButton3);
    EXPECT_EQ(form->PanelTop->childAt(185, 50), form->PNGButton4);
}

TEST_F(WindowLayoutTest, WindowButtonsShowTheirBandsOfTheSpriteOverTheBanner)
{
    const QImage sprite = LoadArt(QStringLiteral("window_buttons.bmp"));
    ASSERT_EQ(sprite.size(), QSize(121, 60));
    EXPECT_EQ(form->ImgBtnMin->Pic(), sprite.copy(0, 0, 40, 20));
    EXPECT_EQ(form->ImgBtnMin->PicUp(), sprite.copy(0, 20, 40, 20));
    EXPECT_EQ(form->ImgBtnMin->PicDown(), sprite.copy(0, 40, 40, 20));
    EXPECT_EQ(form->ImgBtnClose->Pic(), sprite.copy(68, 0, 24, 20));
    EXPECT_EQ(form->ImgBtnClose->PicUp(), sprite.copy(68, 20, 24, 20));
    EXPECT_EQ(form->ImgBtnClose->PicDown(), sprite.copy(68, 40, 24, 20));
    EXPECT_EQ(form->ImgBtnClose->Picture(), form->ImgBtnClose->Pic());

    const QImage window = form->grab().toImage();
    const QImage banner = form->Image6->Picture();
    for (const int y : {0, 7, 19}) {
        SCOPED_TRACE(y);
        // The minimise button shows its picture's first 24 columns; the 25th lies under the close
        // button, which shows its own first column there.
        EXPECT_EQ(Pixel(window, {649, 8 + y}), Pixel(sprite, {0, y}));
        EXPECT_EQ(Pixel(window, {672, 8 + y}), Pixel(sprite, {23, y}));
        EXPECT_EQ(Pixel(window, {673, 8 + y}), Pixel(sprite, {68, y}));
        EXPECT_EQ(Pixel(window, {696, 8 + y}), Pixel(sprite, {91, y}));
    }
    // Below the 20 rows of their pictures, and right of the close picture, the banner shows.
    for (const QPoint at : {QPoint(649, 28), QPoint(672, 38), QPoint(685, 30), QPoint(697, 10)}) {
        EXPECT_EQ(Pixel(window, at), Pixel(banner, at - QPoint(539, 0))) << at.x() << "," << at.y();
    }
}

TEST_F(WindowLayoutTest, EditsCarryTheirLabelsToTheirLeft)
{
    for (const LabeledEdit* edit : {form->LabeledEdit3, form->LabeledEdit4}) {
        const QLabel& label = edit->EditLabel();
        SCOPED_TRACE(label.text().toStdString());
        EXPECT_EQ(label.parentWidget(), form->PaneClientBtm);
        EXPECT_TRUE(label.isVisible());
        EXPECT_EQ(label.geometry().right() + 1 + 3, edit->x());
        EXPECT_EQ(label.y(), edit->y() + (edit->height() - label.height()) / 2);
        EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(label.text()));
    }
    EXPECT_EQ(form->LabeledEdit3->EditLabel().text(), "Cover Image:  ");
    EXPECT_EQ(form->LabeledEdit4->EditLabel().text(), "Save  Epub  To:  ");

    // The hint takes the size of its text from its place at 169, 0.
    EXPECT_EQ(form->Label2->text(), "Drag items to  adjust the order of jpg list.");
    EXPECT_EQ(form->Label2->pos(), QPoint(169, 0));
    EXPECT_GE(form->Label2->width(), form->Label2->fontMetrics().horizontalAdvance(form->Label2->text()));
    EXPECT_FALSE(form->Label2->autoFillBackground());
}

TEST_F(WindowLayoutTest, CommandButtonsHaveTheirCaptionsFontsAndPictures)
{
    struct Look {
        TPNGButton* button;
        const char* caption;
        QColor color;
        bool bold;
    };
    const Look looks[] = {
        {form->PNGButton2, "Add", Qt::white, false},        {form->PNGButton1, "Remove", Qt::white, false},
        {form->PNGButton3, "Remove All", Qt::white, false}, {form->PNGButton4, "Convert", Qt::yellow, true},
        {form->PNGButton5, "Home", Qt::white, false},       {form->PNGButton8, "", Qt::white, false},
        {form->PNGButton9, "", Qt::white, false},
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.button->objectName().toStdString());
        EXPECT_EQ(look.button->Caption(), QLatin1String(look.caption));
        EXPECT_EQ(look.button->FontColor(), look.color);
        EXPECT_EQ(look.button->font().pixelSize(), 11);
        EXPECT_EQ(look.button->font().bold(), look.bold);
        EXPECT_EQ(look.button->ButtonLayout(), TPNGButtonLayout::pbsImageAbove);
        EXPECT_EQ(look.button->ButtonStyle(), TPNGButtonStyle::pbsFlat);
        EXPECT_EQ(look.button->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(look.button->ImageNormal().size(), QSize(32, 32));
        EXPECT_TRUE(look.button->ImageNormal().hasAlphaChannel());
        EXPECT_TRUE(look.button->isEnabled());
        // Tab reaches every button; a click leaves the focus where it was.
        EXPECT_EQ(look.button->focusPolicy(), Qt::TabFocus);
    }
    EXPECT_EQ(form->PNGButton8->ImageNormal().depth(), 64);
}

TEST_F(WindowLayoutTest, PageListHasTwoColumnsRowSelectionAndItsMenu)
{
    PageListView& list = *form->ListView1;
    ASSERT_EQ(list.model()->columnCount(), 2);
    EXPECT_EQ(list.model()->headerData(0, Qt::Horizontal), "Page");
    EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal), "Path");
    EXPECT_EQ(list.columnWidth(0), 80);
    EXPECT_EQ(list.columnWidth(1), 430);
    EXPECT_FALSE(list.rootIsDecorated());
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.contextMenuPolicy(), Qt::CustomContextMenu);
    // A long path keeps its file name in view.
    EXPECT_EQ(list.textElideMode(), Qt::ElideMiddle);

    QStringList items;
    for (const QAction* item : form->PopupMenu1->actions()) {
        if (!item->isSeparator()) {
            items << item->objectName() + "=" + item->text();
        }
    }
    EXPECT_EQ(items,
              QStringList({"Add1=Add", "AddFolder1=Add Folder...", "RemoveSelected1=Remove Selected",
                           "RemoveAll1=Remove All", "SortByFileName1=Sort by File Name", "UseAsCover1=Use as Cover",
                           "OpenList1=Open List...", "SaveList1=Save List...", "Undo1=Undo", "Redo1=Redo"}));
}

TEST(WindowPositionTest, TheStoredPlaceWhereTheWholeWindowFitsElseCentredOnThePointersScreen)
{
    const QSize window(719, 512);
    const QPoint stored(301, 146);
    // A desktop of 1024 x 768 with a panel of 30 pixels at the bottom: it fits as stored.
    const QRect desktop(0, 0, 1024, 738);
    EXPECT_EQ(WindowPosition(window, stored, {desktop}, desktop), stored);
    // 1024 x 600 with its panel: the bottom would be off the screen.
    const QRect netbook(0, 0, 1024, 570);
    EXPECT_EQ(WindowPosition(window, stored, {netbook}, netbook), QPoint(152, 29));
    // 1280 x 800 shown at a scale of 1.5 is 853 x 533 in the window's pixels: the window fits, but
    // not at the stored place.
    const QRect scaled(0, 0, 853, 533);
    EXPECT_EQ(WindowPosition(window, stored, {scaled}, scaled), QPoint(67, 10));
    // Two screens: the stored place lies on the first, the pointer on the second.
    const QRect second(1024, 0, 800, 600);
    EXPECT_EQ(WindowPosition(window, stored, {desktop, second}, second), stored);
    EXPECT_EQ(WindowPosition(window, stored, {netbook, second}, second), QPoint(1064, 44));
    // A screen lower than the window: it starts at the top, where the banner that moves it is.
    const QRect low(0, 0, 1024, 480);
    EXPECT_EQ(WindowPosition(window, stored, {low}, low), QPoint(152, 0));
}

// A dark desktop theme, as a desktop's settings hand it to every program.
QPalette DarkPalette()
{
    QPalette dark;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        dark.setColor(group, QPalette::Button, QColor(0x35, 0x35, 0x35));
        dark.setColor(group, QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        for (const QPalette::ColorRole text : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            dark.setColor(group, text, QColor(0xee, 0xee, 0xee));
        }
        dark.setColor(group, QPalette::Light, QColor(0x50, 0x50, 0x50));
        dark.setColor(group, QPalette::Dark, QColor(0x10, 0x10, 0x10));
    }
    return dark;
}

// The darkest grey in a part of an image: the ink of the text drawn there.
int DarkestIn(const QImage& image, const QRect& area)
{
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    return darkest;
}

TEST_F(WindowLayoutTest, UnderADarkDesktopThemeTheWindowLooksAsItWasDrawnToLook)
{
    form->Edit1->setText("Title");
    form->LabeledEdit4->setText("/books");
    const QImage light = form->grab().toImage();
    // The labels' text is dark on the light panel below the list.
    for (const QWidget* label :
         {static_cast<QWidget*>(&form->LabeledEdit3->EditLabel()),
          static_cast<QWidget*>(&form->LabeledEdit4->EditLabel()), static_cast<QWidget*>(form->Label2)}) {
        const QRect area(label->mapTo(form.get(), QPoint()), label->size());
        EXPECT_LT(DarkestIn(light, area), 80) << label->objectName().toStdString();
    }

    // The desktop turns dark while the window is open, and before a window opens: the window looks
    // the same either way.
    const QPalette before = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
    const QImage darkenedWhileOpen = form->grab().toImage();
    form.reset();
    auto recording = std::make_unique<RecordingDialogs>();
    dialogs = recording.get();
    form = std::make_unique<TForm1>(Root(), std::move(recording));
    form->Edit1->setText("Title");
    form->LabeledEdit4->setText("/books");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QImage openedDark = form->grab().toImage();
    QApplication::setPalette(before);

    EXPECT_TRUE(darkenedWhileOpen == light);
    EXPECT_TRUE(openedDark == light);
}

// A picture of four colours, one in each quarter, to see where each part of it is drawn.
QImage Quarters()
{
    QImage picture(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            picture.setPixel(x, y,
                             y < 2 ? (x < 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                   : (x < 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
        }
    }
    return picture;
}

TEST(PictureBoxTest, DrawsItsPictureStretchedOrUnscaledAndLetsTheParentShowThrough)
{
    const QColor parent(Qt::magenta);
    PictureBox box;
    box.resize(8, 6);
    box.SetPicture(Quarters());
    auto render = [&box, parent] {
        QImage image(box.size(), QImage::Format_RGB32);
        image.fill(parent);
        box.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };

    const QImage plain = render();
    EXPECT_EQ(plain.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(plain.pixel(3, 3), qRgb(255, 255, 0));
    EXPECT_EQ(plain.pixel(4, 0), parent.rgb());
    EXPECT_EQ(plain.pixel(0, 4), parent.rgb());

    box.SetStretch(true);
    const QImage stretched = render();
    EXPECT_EQ(stretched.pixel(7, 0), qRgb(0, 255, 0));
    EXPECT_EQ(stretched.pixel(0, 5), qRgb(0, 0, 255));
    EXPECT_EQ(stretched.pixel(7, 5), qRgb(255, 255, 0));

    box.SetAutoSize(true);
    EXPECT_EQ(box.size(), QSize(4, 4));
    box.SetPicture(QImage(3, 7, QImage::Format_RGB32));
    EXPECT_EQ(box.size(), QSize(3, 7));
    EXPECT_EQ(box.focusPolicy(), Qt::NoFocus);
}

}  // namespace
