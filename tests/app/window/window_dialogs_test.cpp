#include "app/window_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "tests/app/window/window_test_support.h"

namespace {

// What a message box showed, and the pointer over it.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    QString cursor;
};

// Answers the next modal message box with `answer` as soon as it is up, and notes what it showed.
void AnswerNextBox(SeenBox& seen, std::function<void(QMessageBox&)> answer)
{
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (const QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
        }
        seen.defaultButton = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
        seen.cursor = OverrideCursorName();
        answer(*box);
    });
}

class WindowDialogsTest : public ::testing::Test {
protected:
    // Long work is under way: the boxes must show the normal pointer over it all the same.
    void SetUp() override { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    void TearDown() override
    {
        EXPECT_EQ(OverrideCursorName(), "wait");
        QGuiApplication::restoreOverrideCursor();
    }

    QWidget owner;
    QtWindowDialogs dialogs{&owner};
    SeenBox seen;
};

void PressKey(QMessageBox& box, Qt::Key key)
{
    QTest::keyClick(&box, key);
}

TEST_F(WindowDialogsTest, TheQuestionHasYesAsDefaultAndTakesOnlyYesForAnAnswer)
{
    AnswerNextBox(seen, [](QMessageBox& box) { PressKey(box, Qt::Key_Return); });
    EXPECT_TRUE(dialogs.AskInformationYesNo("The file is existing. Overwrite?", "Information"));
    EXPECT_EQ(seen.caption, "Information");
    EXPECT_EQ(seen.text, "The file is existing. Overwrite?");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains("&Yes"));
    EXPECT_TRUE(seen.buttons.contains("&No"));
    EXPECT_EQ(seen.defaultButton, "&Yes");
    EXPECT_EQ(seen.cursor, "arrow");

    AnswerNextBox(seen, [](QMessageBox& box) { PressKey(box, Qt::Key_Escape); });
    EXPECT_FALSE(dialogs.AskInformationYesNo("Overwrite?", "Information"));

    AnswerNextBox(seen, [](QMessageBox& box) { box.close(); });
    EXPECT_FALSE(dialogs.AskInformationYesNo("Overwrite?", "Information"));

    AnswerNextBox(seen, [](QMessageBox& box) { PressKey(box, Qt::Key_N); });
    EXPECT_FALSE(dialogs.AskInformationYesNo("Overwrite?", "Information"));
}

TEST_F(WindowDialogsTest, PlainAndErrorBoxesHaveOnlyAnOkButton)
{
    AnswerNextBox(seen, [](QMessageBox& box) { PressKey(box, Qt::Key_Return); });
    dialogs.ShowPlainMessage("Please set the saving path!", "Note!");
    EXPECT_EQ(seen.caption, "Note!");
    EXPECT_EQ(seen.text, "Please set the saving path!");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList({"OK"}));
    EXPECT_EQ(seen.cursor, "arrow");

    seen = {};
    AnswerNextBox(seen, [](QMessageBox& box) { PressKey(box, Qt::Key_Escape); });
    dialogs.ShowError("JPEG error #42.", "Tamboril");
    EXPECT_EQ(seen.caption, "Tamboril");
    EXPECT_EQ(seen.text, "JPEG error #42.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QStringList({"OK"}));
}

}  // namespace
