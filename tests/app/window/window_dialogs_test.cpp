#include "app/window_dialogs.h"
#include "tests/support/test_files.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
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

// Answers the next modal file dialog with `answer` as soon as it is up.
void AnswerNextFileDialog(std::function<void(QFileDialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
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

TEST_F(WindowDialogsTest, TheFileDialogsGiveTheChosenPicturesInTheirOrderAndNothingOnCancel)
{
    QTemporaryDir folder;
    const QString first = folder.filePath("IMG_0001.JPG");
    const QString second = folder.filePath("b.jpeg");
    WriteTestFile(first, "picture");
    WriteTestFile(second, "picture");

    AnswerNextFileDialog([&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        dialog.selectFile("\"b.jpeg\" \"IMG_0001.JPG\"");
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.ChoosePagePictures(), QStringList({second, first}));

    AnswerNextFileDialog([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_TRUE(dialogs.ChoosePagePictures().isEmpty());

    // The cover's dialog takes one picture, which need not exist yet.
    AnswerNextFileDialog([&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        dialog.selectFile("front.jpg");
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.ChooseCoverPicture(), folder.filePath("front.jpg"));
}

TEST_F(WindowDialogsTest, TheFolderBrowserHasItsTitleAndACancelGivesNoFolder)
{
    QTemporaryDir folder;
    QString title;
    AnswerNextFileDialog([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
        EXPECT_EQ(QDir(dialog.directory()), QDir(folder.path()));
        dialog.reject();
    });
    EXPECT_EQ(dialogs.BrowseForFolder(folder.path()), "");
    EXPECT_EQ(title, "Please Choose a Folder");

    AnswerNextFileDialog([&](QFileDialog& dialog) {
        dialog.setDirectory(folder.path());
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(dialogs.BrowseForFolder(QString()), folder.path());
}

}  // namespace
