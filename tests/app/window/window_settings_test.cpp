#include "app/controls/banner_toggle.h"
#include "app/controls/png_button.h"
#include "app/error_box.h"
#include "app/labeled_edit.h"
#include "builder/workflow/book_formats.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Keeps what the window showed after the window, and these dialogs with it, are gone.
class DialogsThatOutliveTheWindow : public RecordingDialogs {
public:
    explicit DialogsThatOutliveTheWindow(QStringList& keptEvents) : keptEvents_(keptEvents) {}
    ~DialogsThatOutliveTheWindow() override { keptEvents_ = events; }

private:
    QStringList& keptEvents_;
};

// The kind of book saved beside the output folder when the switches were left as they start.
const QByteArray kDefaultKindOfBook = "Layout=flowing\nReadingDirection=left-to-right\n";

class WindowSettingsTest : public WindowTest {
protected:
    QString ConfigIni() const { return PathIn("config.ini"); }

    // Ends the program's run and starts the next one in the same folder, with these dialogs.
    void StartAgain(std::unique_ptr<RecordingDialogs> recording = std::make_unique<RecordingDialogs>())
    {
        form.reset();
        dialogs = recording.get();
        form = std::make_unique<TForm1>(Root(), std::move(recording));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // What the window's last dialogs showed, kept after the end of the run.
    QStringList shownAtTheEnd;
};

TEST_F(WindowSettingsTest, TheFirstStartShowsNoFolderAndTheChosenOneIsThereAtTheNextStart)
{
    EXPECT_FALSE(QFileInfo::exists(ConfigIni()));
    EXPECT_EQ(form->LabeledEdit4->text(), "");

    // Cancelling the browser leaves the empty field empty.
    ClickAt(ControlPoint(*form->PNGButton9));
    EXPECT_EQ(form->LabeledEdit4->text(), "");
    dialogs->folder = PathIn("books");
    ClickAt(ControlPoint(*form->PNGButton9));
    EXPECT_EQ(form->LabeledEdit4->text(), PathIn("books"));
    // The browser starts without a folder of its own.
    EXPECT_EQ(dialogs->events, QStringList({"browse||", "browse||"}));

    // The chosen folder is saved at once, so that the command line run meanwhile finds it; a folder typed by hand
    // is saved as soon as the typing pauses.
    EXPECT_EQ(ReadTestFile(ConfigIni()), "[Options]\nSavePath=" + PathIn("books").toUtf8() + "\n");
    QTest::keyClicks(form->LabeledEdit4, "/more");
    const QByteArray typed = "[Options]\nSavePath=" + PathIn("books").toUtf8() + "/more\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadTestFile(ConfigIni()) == typed; }));
    form->LabeledEdit4->setText(PathIn("books"));
    form.reset();
    EXPECT_EQ(ReadTestFile(ConfigIni()), "[Options]\nSavePath=" + PathIn("books").toUtf8() + "\n" + kDefaultKindOfBook);

    StartAgain();
    EXPECT_EQ(form->LabeledEdit4->text(), PathIn("books"));

    // A cancel leaves a set field as it was, too.
    ClickAt(ControlPoint(*form->PNGButton9));
    EXPECT_EQ(form->LabeledEdit4->text(), PathIn("books"));
}

TEST_F(WindowSettingsTest, AnEmptiedOrHandTypedFolderIsSavedExactlyAsItStands)
{
    form->LabeledEdit4->setText(PathIn("not made yet/Books 2"));
    StartAgain();
    EXPECT_EQ(form->LabeledEdit4->text(), PathIn("not made yet/Books 2"));
    EXPECT_FALSE(QFileInfo::exists(PathIn("not made yet")));

    form->LabeledEdit4->clear();
    form.reset();
    EXPECT_EQ(ReadTestFile(ConfigIni()), "[Options]\nSavePath=\n" + kDefaultKindOfBook);
    // The next start shows the field empty, whatever text it held before loading.
    StartAgain();
    form->LabeledEdit4->setText("typed");
    form->FormCreate(form.get());
    EXPECT_EQ(form->LabeledEdit4->text(), "");
}

TEST_F(WindowSettingsTest, SavingKeepsEveryOtherLineOfTheFile)
{
    form.reset();
    WriteTestFile(ConfigIni(),
                  "; written by hand\n[Window]\nLeft=3\n\n[options]\nsavepath = \"/old folder\"\nOther=1\n");
    StartAgain();
    EXPECT_EQ(form->LabeledEdit4->text(), "/old folder");

    form->LabeledEdit4->setText("/new");
    form.reset();
    EXPECT_EQ(ReadTestFile(ConfigIni()),
              "; written by hand\n[Window]\nLeft=3\n\n[options]\nSavePath=/new\nOther=1\n" + kDefaultKindOfBook);
}

TEST_F(WindowSettingsTest, AnUnwritableFileIsReportedAtTheEnd)
{
    StartAgain(std::make_unique<DialogsThatOutliveTheWindow>(shownAtTheEnd));
    // A folder at the file's place cannot be replaced, not even by root.
    QFile::remove(ConfigIni());
    QDir().mkpath(ConfigIni());
    form->LabeledEdit4->setText("/books");

    form.reset();
    const QString title = ApplicationTitle(QCoreApplication::applicationFilePath());
    EXPECT_EQ(shownAtTheEnd, QStringList({"error|" + title + "|Unable to write to " + ConfigIni() + "."}));
    EXPECT_TRUE(QFileInfo(ConfigIni()).isDir());
}

TEST_F(WindowSettingsTest, TheCoverChooserKeepsTheLastChosenPicture)
{
    dialogs->coverPicture = "/p/first.jpg";
    ClickAt(ControlPoint(*form->PNGButton8));
    dialogs->coverPicture = "/p/second.JPG";
    ClickAt(ControlPoint(*form->PNGButton8));
    EXPECT_EQ(form->LabeledEdit3->text(), "/p/second.JPG");
    dialogs->coverPicture.clear();
    ClickAt(ControlPoint(*form->PNGButton8));
    EXPECT_EQ(form->LabeledEdit3->text(), "/p/second.JPG");
    EXPECT_EQ(dialogs->events, QStringList({"open cover||", "open cover||", "open cover||"}));
}

TEST_F(WindowSettingsTest, TheSwitchesChooseTheKindOfBookAndShowTheSavedChoiceAtTheNextStart)
{
    EXPECT_EQ(form->LayoutSwitch->Caption(), "Flowing pages (EPUB 2)");
    EXPECT_EQ(form->DirectionSwitch->Caption(), "Read left to right");
    EXPECT_FALSE(form->LayoutSwitch->toolTip().isEmpty());
    EXPECT_FALSE(form->DirectionSwitch->toolTip().isEmpty());

    // A click turns the layout, Space the direction once Tab has brought the focus there.
    ClickAt(ControlPoint(*form->LayoutSwitch));
    form->LayoutSwitch->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->DirectionSwitch);
    QTest::keyClick(form->DirectionSwitch, Qt::Key_Space);
    EXPECT_EQ(form->LayoutSwitch->Caption(), "Fixed pages (EPUB 3)");
    EXPECT_EQ(form->DirectionSwitch->Caption(), "Read right to left");
    EXPECT_EQ(FormatOf(form->CurrentBookSettings()).Key(), "fixed");
    EXPECT_EQ(form->CurrentBookSettings().direction, ReadingDirection::RightToLeft);
    // Saved as they were turned, before the window closes.
    EXPECT_EQ(ReadTestFile(ConfigIni()), "[Options]\nLayout=fixed\nReadingDirection=right-to-left\n");

    form.reset();
    EXPECT_EQ(ReadTestFile(ConfigIni()), "[Options]\nLayout=fixed\nReadingDirection=right-to-left\nSavePath=\n");
    StartAgain();
    EXPECT_EQ(form->LayoutSwitch->Caption(), "Fixed pages (EPUB 3)");
    EXPECT_EQ(form->DirectionSwitch->Caption(), "Read right to left");

    // Values the program does not know, written by hand, mean the defaults.
    form.reset();
    WriteTestFile(ConfigIni(), "[Options]\nLayout=grid\nReadingDirection=\n");
    StartAgain();
    EXPECT_EQ(form->LayoutSwitch->Caption(), "Flowing pages (EPUB 2)");
    EXPECT_EQ(form->DirectionSwitch->Caption(), "Read left to right");
}

}  // namespace
