// The book's details in the window (language, series and number, a page as the cover) and an Undo that follows
// the person, from the keyboard as a person without a mouse works.

#include "app/controls/png_button.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "app/picture_box.h"
#include "builder/workflow/book_settings.h"
#include "pages/page_list_model.h"
#include "tests/app/window/window_test_support.h"
#include "tests/builder/locale_environment.h"
#include "tests/support/test_files.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WindowBookDetailsTest : public WindowTest {
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

    void StartAgain()
    {
        form.reset();
        auto recording = std::make_unique<RecordingDialogs>();
        dialogs = recording.get();
        form = std::make_unique<TForm1>(Root(), std::move(recording));
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST_F(WindowBookDetailsTest, TheLanguageIsTheSystemsOrEnglishOrTheOneChosenAndIsSavedAsItChanges)
{
    // The tests' system speaks en_US.
    EXPECT_EQ(form->CurrentBookSettings().language, "en-US");
    {
        const LocaleEnvironment locale("", "C");
        StartAgain();
        EXPECT_EQ(form->CurrentBookSettings().language, "en");
        EXPECT_EQ(form->ComboBox1->currentText(), "English \u2014 en");
    }
    // Typing finds a language by its own name; the one picked is the book's, and config.ini has it at once.
    QLineEdit& language = *form->ComboBox1->lineEdit();
    language.setFocus();
    language.selectAll();
    QTest::keyClicks(&language, "deutsch (schweiz");
    QWidget* found = form->ComboBox1->completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return found->isVisible(); }));
    QTest::keyClick(found, Qt::Key_Down);
    QTest::keyClick(found, Qt::Key_Return);
    EXPECT_EQ(form->ComboBox1->currentText(), "Schweizer Hochdeutsch (Schweiz) \u2014 de-CH");
    EXPECT_EQ(form->CurrentBookSettings().language, "de-CH");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadTestFile(PathIn("config.ini")).contains("Language=de-CH\n"); }));

    // Any tag typed by hand is taken; one that is no tag is refused at Convert and never saved.
    language.selectAll();
    QTest::keyClicks(&language, "gsw-u-sd-chzh");
    EXPECT_EQ(form->CurrentBookSettings().language, "gsw-u-sd-chzh");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadTestFile(PathIn("config.ini")).contains("=gsw-u-sd-chzh\n"); }));
    language.selectAll();
    QTest::keyClicks(&language, "english");
    AddRow(MakePicture("p.jpg"));
    form->PNGButton4Click(form.get());
    ASSERT_EQ(dialogs->events.size(), 1);
    EXPECT_TRUE(dialogs->events.first().startsWith("plain|Note!|The language \"english\" is not a language tag"));
    StartAgain();
    EXPECT_EQ(form->CurrentBookSettings().language, "gsw-u-sd-chzh");

    // The series and its number beside it; the number takes digits and one point alone.
    form->LabeledEdit5->setFocus();
    QTest::keyClicks(form->LabeledEdit5, "The Saga");
    QTest::keyClicks(form->LabeledEdit6, "12.5x,3");
    EXPECT_EQ(form->CurrentBookSettings().series, "The Saga");
    EXPECT_EQ(form->CurrentBookSettings().seriesNumber, "12.53");
}

TEST_F(WindowBookDetailsTest, APageBecomesTheCoverByItsKeyAndUndoTakesBackWhateverCameLast)
{
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        AddRow(MakePicture(name));
    }
    form->ListView1->setFocus();
    SetCurrentRow(1);
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    EXPECT_EQ(form->LabeledEdit3->text(), PathIn("b.jpg"));
    EXPECT_TRUE(form->PNGButton8->toolTip().contains(form->UseAsCover1->shortcut().toString(QKeySequence::NativeText)));

    // Typing in the title, then Remove All given from the title field: Undo there takes back Remove All first,
    // then the typing, then the cover, in the order the person did them.
    form->Edit1->setFocus();
    QTest::keyClicks(form->Edit1, "My Book");
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete);
    ASSERT_EQ(RowCount(), 0);
    EXPECT_EQ(form->Undo1->text(), "Undo Remove All");
    Press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(form->Edit1->text(), "My Book");
    Press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(form->Edit1->text(), "");
    Press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(form->LabeledEdit3->text(), "");
    EXPECT_EQ(RowCount(), 3);
    // Redo makes them again, from a field or from the list alike.
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    form->ListView1->setFocus();
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(form->LabeledEdit3->text(), PathIn("b.jpg"));
    EXPECT_EQ(form->Edit1->text(), "My Book");
    EXPECT_EQ(RowCount(), 3);
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowBookDetailsTest, ThePreviewNeverShowsARemovedPicture)
{
    const QImage noPicture = form->Image1->Picture();
    WriteTestFile(PathIn("a.jpg"), ReadTestFile(SourceFolder() + "/samples/page1.jpg"));
    AddRow(PathIn("a.jpg"));
    AddRow(MakePicture("b.jpg"));
    ClickAt(RowPoint(1));
    const QImage b = form->Image1->Picture();
    ASSERT_NE(b, noPicture);

    // Delete on the previewed row: the row that becomes current is shown (the 480 x 640 sample, reduced by 3).
    form->ListView1->setFocus();
    Press(Qt::Key_Delete);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Image1->Picture().size() == QSize(160, 213); }));

    // Remove All: "No picture", and still after another folder is added.
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Image1->Picture() == noPicture; }));
    MakePicture("more/c.jpg");
    dialogs->folder = PathIn("more");
    form->AddFolder1Click(form.get());
    QTest::qWait(50);
    EXPECT_EQ(form->Image1->Picture(), noPicture);
}

}  // namespace
