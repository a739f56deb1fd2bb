// The window driven from the keyboard alone, as a person without a mouse drives it.

#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/labeled_edit.h"
#include "pages/page_list_model.h"
#include "tests/app/window/window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class WindowKeyboardTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Presses the key where the focus is, as the keyboard does.
    static void Press(QKeySequence key)
    {
        const QKeyCombination combination = key[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
    }

    static QString FocusName() { return QApplication::focusWidget()->objectName(); }
};

TEST_F(WindowKeyboardTest, TabVisitsEveryFieldAndButtonAndSpaceOrReturnPressesTheButton)
{
    form->Edit1->setFocus();
    QStringList visited;
    for (int step = 0; step < 19; ++step) {
        Press(Qt::Key_Tab);
        visited << FocusName();
    }
    EXPECT_EQ(visited, QStringList({"Edit2", "ListView1", "LabeledEdit3", "PNGButton8", "ComboBox1", "LabeledEdit5",
                                    "LabeledEdit6", "LabeledEdit4", "PNGButton9", "PNGButton2", "PNGButton1",
                                    "PNGButton3", "PNGButton4", "PNGButton5", "LayoutSwitch", "DirectionSwitch",
                                    "ImgBtnMin", "ImgBtnClose", "Edit1"}));

    // The focused button shows it: Convert looks different with the focus and without.
    form->PNGButton4->setFocus(Qt::TabFocusReason);
    const QImage focused = form->PNGButton4->grab().toImage();
    form->PNGButton5->setFocus(Qt::TabFocusReason);
    EXPECT_NE(form->PNGButton4->grab().toImage(), focused);

    // Return on Convert converts (here: there are no pages yet), Space on Add opens its dialog.
    form->PNGButton4->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Return);
    form->PNGButton2->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Space);
    EXPECT_EQ(dialogs->events, QStringList({"plain|Note!|Please add some pictures!", "open pictures||"}));
    // A click on a button leaves the focus where it was.
    ClickAt(ControlPoint(*form->PNGButton5));
    EXPECT_EQ(FocusName(), "PNGButton2");
}

TEST_F(WindowKeyboardTest, TabbingIntoTheListSelectsItsCurrentRowSoThatDeleteActsAtOnce)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    SetCurrentRow(1);
    form->ListView1->clearSelection();
    form->Edit2->setFocus();
    Press(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), "ListView1");
    Press(Qt::Key_Delete);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/c.jpg"}));
}

TEST_F(WindowKeyboardTest, EachCommandsKeyRunsItAndTheButtonsTooltipNamesThatKey)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    form->ListView1->setFocus();
    SetCurrentRow(1);
    const QString d = MakePicture("p/d.jpg");
    dialogs->pagePictures = {d};
    const auto tooltipNames = [](const QWidget& button, QKeySequence key) {
        return button.toolTip().contains(key.toString(QKeySequence::NativeText));
    };

    Press(Qt::CTRL | Qt::Key_O);
    EXPECT_EQ(PageTexts().last(), "4 " + d);
    EXPECT_TRUE(tooltipNames(*form->PNGButton2, Qt::CTRL | Qt::Key_O));
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    Press(Qt::Key_Delete);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/c.jpg", "3 " + d}));
    EXPECT_TRUE(tooltipNames(*form->PNGButton1, Qt::Key_Delete));
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete);
    EXPECT_TRUE(PageTexts().isEmpty());
    EXPECT_TRUE(tooltipNames(*form->PNGButton3, Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    Press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(PageTexts().size(), 3);
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_TRUE(PageTexts().isEmpty());
    Press(Qt::CTRL | Qt::Key_Return);
    EXPECT_TRUE(tooltipNames(*form->PNGButton4, Qt::CTRL | Qt::Key_Return));
    Press(Qt::Key_F1);
    EXPECT_TRUE(tooltipNames(*form->PNGButton5, Qt::Key_F1));
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "browse||", "plain|Note!|Please add some pictures!",
                                            "open||https://www.tamboril.org/"}));

    // In an edit, the keys an edit uses are the edit's own.
    form->Edit1->setFocus();
    Press(Qt::Key_A);
    Press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(form->Edit1->text(), "");
    EXPECT_TRUE(PageTexts().isEmpty());

    Press(Qt::CTRL | Qt::Key_Q);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(tooltipNames(*form->ImgBtnClose, Qt::CTRL | Qt::Key_Q));
}

TEST_F(WindowKeyboardTest, TheMenuKeyAndShiftF10OpenTheListsMenuAtTheCurrentRow)
{
    AddRow("/p/a.jpg");
    form->ListView1->setFocus();
    SetCurrentRow(0);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        SCOPED_TRACE(key.toString().toStdString());
        Press(key);
        ASSERT_TRUE(form->PopupMenu1->isVisible());
        // Opened by the keyboard, it stands at the current row, and offers to remove it.
        EXPECT_TRUE(form->ListView1->viewport()->rect().contains(
            form->ListView1->viewport()->mapFromGlobal(form->PopupMenu1->pos())));
        EXPECT_TRUE(form->RemoveSelected1->isEnabled());
        form->PopupMenu1->hide();
    }
}

}  // namespace
