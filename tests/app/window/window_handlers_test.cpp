#include "app/controls/img_btn.h"
#include "app/controls/png_button.h"
#include "app/error_box.h"
#include "app/picture_box.h"
#include "app/window_arguments.h"
#include "app/window_chrome.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

TEST(ErrorBoxTest, CaptionIsTheProgramFileNameUpToItsFirstFullStopCapitalised)
{
    EXPECT_EQ(ApplicationTitle("/usr/bin/tamboril"), "Tamboril");
    EXPECT_EQ(ApplicationTitle("/opt/TAMBORIL.bin.old"), "Tamboril");
    EXPECT_EQ(ApplicationTitle("/home/a.b/my-Tool"), "My-tool");
    EXPECT_EQ(ApplicationTitle("/x/ébène.exe"), "Ébène");
    EXPECT_EQ(ApplicationTitle("/x/.hidden"), "");
}

TEST(ErrorBoxTest, FullStopIsAppendedWhenTheLastCharacterSortsAfterIt)
{
    EXPECT_EQ(ErrorBoxText("JPEG error #42"), "JPEG error #42.");
    EXPECT_EQ(ErrorBoxText("Unable to write to /tmp/config.ini"), "Unable to write to /tmp/config.ini.");
    EXPECT_EQ(ErrorBoxText("Already one."), "Already one.");
    EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorBoxText("trailing blank "), "trailing blank ");
    EXPECT_EQ(ErrorBoxText("a list,"), "a list,");
    EXPECT_EQ(ErrorBoxText("dash -"), "dash -");
    // "/", digits, letters, "?" and everything beyond ASCII sort after ".".
    EXPECT_EQ(ErrorBoxText("folder/"), "folder/.");
    EXPECT_EQ(ErrorBoxText("Really?"), "Really?.");
    EXPECT_EQ(ErrorBoxText("café"), "café.");
    EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBoxTest, ShowsTheMessageUnderTheProgramsTitle)
{
    RecordingDialogs dialogs;
    ShowErrorBox(dialogs, UserError("Disk full"));
    ShowErrorBox(dialogs, UserError(QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                      "e!")));
    const QString title = ApplicationTitle(QCoreApplication::applicationFilePath());
    EXPECT_EQ(title, "Window_tests");
    EXPECT_EQ(dialogs.events, QStringList({"error|" + title + "|Disk full.", "error|" + title + "|Grüße!"}));
}

TEST(WindowDragTest, OnlyTheLeftButtonDragsAndNotWhileMaximised)
{
    EXPECT_TRUE(StartsWindowDrag(Qt::LeftButton, Qt::WindowNoState));
    EXPECT_TRUE(StartsWindowDrag(Qt::LeftButton, Qt::WindowActive));
    EXPECT_FALSE(StartsWindowDrag(Qt::RightButton, Qt::WindowNoState));
    EXPECT_FALSE(StartsWindowDrag(Qt::MiddleButton, Qt::WindowNoState));
    EXPECT_FALSE(StartsWindowDrag(Qt::LeftButton, Qt::WindowMaximized));
    EXPECT_FALSE(StartsWindowDrag(Qt::LeftButton, Qt::WindowMaximized | Qt::WindowMinimized));
}

using WindowHandlersTest = WindowTest;

TEST_F(WindowHandlersTest, OnlyPressesThatReachTheBannerPicturesCountAsBannerPresses)
{
    QSignalSpy left(form->Image2, &PictureBox::mouseDown);
    QSignalSpy middle(form->Image4, &PictureBox::mouseDown);
    QSignalSpy right(form->Image6, &PictureBox::mouseDown);

    // The Add button over the left banner, the Home button over the middle one, and the minimise
    // button over the right one (released away from it, so that it does not minimise).
    ClickAt({20, 50});
    ClickAt({280, 50});
    PressAt({660, 15});
    ReleaseAt({660, 120});
    EXPECT_EQ(left.count() + middle.count() + right.count(), 0);
    EXPECT_FALSE(form->isMinimized());

    ClickAt({20, 10});
    ClickAt({400, 120}, Qt::RightButton);
    ClickAt({600, 110}, Qt::MiddleButton);
    ASSERT_EQ(left.count(), 1);
    EXPECT_EQ(left.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    ASSERT_EQ(middle.count(), 1);
    EXPECT_EQ(middle.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_TRUE(form->isVisible());
    // The clicks on Add and Home did what they do.
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||", "open||https://www.tamboril.org/"}));
}

TEST_F(WindowHandlersTest, WindowButtonsMinimiseAndCloseTheWindow)
{
    ClickAt({660, 15});
    EXPECT_TRUE(form->isMinimized());
    form->showNormal();

    ClickAt({685, 18});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs->events.isEmpty());
}

TEST_F(WindowHandlersTest, RemoveDeletesTheSelectedRowsAndNumbersTheRest)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg", "/p/e.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    // With nothing selected, nothing is removed.
    emit form->PNGButton1->clicked();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/b.jpg", "3 /p/c.jpg", "4 /p/d.jpg", "5 /p/e.jpg"}));

    SelectRow(1);
    SelectRow(3);
    emit form->PNGButton1->clicked();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/c.jpg", "3 /p/e.jpg"}));

    // The Delete key in the list does the same.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->ListView1->setFocus();
    SetCurrentRow(0);
    QTest::keyClick(form->ListView1, Qt::Key_Delete);
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/c.jpg", "2 /p/e.jpg"}));

    emit form->PNGButton3->clicked();
    EXPECT_TRUE(PageTexts().isEmpty());
    emit form->PNGButton3->clicked();
    EXPECT_TRUE(PageTexts().isEmpty());
}

TEST_F(WindowHandlersTest, ContextMenuRunsTheButtonHandlersWithoutPressingTheButtons)
{
    for (const char* path : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) {
        AddRow(QString::fromLatin1(path));
    }
    SelectRow(0);
    const QString d = MakePicture("p/d.jpg");
    dialogs->pagePictures = QStringList({d});
    form->Add1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/a.jpg", "2 /p/b.jpg", "3 /p/c.jpg", "4 " + d}));
    EXPECT_EQ(dialogs->events, QStringList({"open pictures||"}));

    form->RemoveSelected1->trigger();
    EXPECT_EQ(PageTexts(), QStringList({"1 /p/b.jpg", "2 /p/c.jpg", "3 " + d}));
    EXPECT_EQ(form->PNGButton1->State(), TPNGButtonState::pbsUp);

    form->RemoveAll1->trigger();
    EXPECT_TRUE(PageTexts().isEmpty());
    EXPECT_EQ(form->PNGButton3->State(), TPNGButtonState::pbsUp);
    EXPECT_EQ(dialogs->events.size(), 1);
}

TEST_F(WindowHandlersTest, EndingWithoutAConversionLeavesTheInstallationDataAlone)
{
    form.reset();
    EXPECT_EQ(FolderNames(Root()), QStringList({"config.ini", "epubfiles"}));
    EXPECT_EQ(FolderNames(PathIn("epubfiles")), QStringList({"META-INF", "mimetype"}));
}

TEST(WindowProgramTest, HelpAndVersionAnswerOnTheTerminalWhereNoWindowCanOpen)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const auto run = [&](const QStringList& arguments) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(BuiltProgramsFolder() + "/tamboril", arguments);
        EXPECT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(program.readAllStandardError(), "");
        return QString::fromUtf8(program.readAllStandardOutput());
    };
    const QString usage = run({"--help"});
    EXPECT_TRUE(usage.startsWith("Usage: tamboril [PICTURE|FOLDER...]\n")) << usage.toStdString();
    EXPECT_EQ(run({"--version"}), "Tamboril 3.3\n");
    // Help wins wherever it stands, as in tamboril-cli.
    EXPECT_EQ(run({"a.jpg", "--version", "--unknown", "-h"}), usage);
}

TEST_F(WindowHandlersTest, ArgumentsThatNameNothingAreNamedInOneBoxAndTheOthersAdded)
{
    for (const char* name : {"a.jpg", "book/page2.jpg", "book/page10.jpg", "-dash.jpg"}) {
        MakePicture(name);
    }
    const WindowArguments arguments = ParseWindowArguments(
        {PathIn("a.jpg"), "--unknown", PathIn("missing.jpg"), PathIn("book"), "--", "--version", PathIn("-dash.jpg")});
    EXPECT_EQ(arguments.action, WindowArguments::Action::OpenWindow);

    form->AddPicturesFromArguments(arguments.paths, arguments.unknownOptions);
    EXPECT_EQ(PageTexts(), QStringList({"1 " + PathIn("a.jpg"), "2 " + PathIn("book/page2.jpg"),
                                        "3 " + PathIn("book/page10.jpg"), "4 " + PathIn("-dash.jpg")}));
    EXPECT_EQ(dialogs->events,
              QStringList({"error|" + ApplicationTitle(QCoreApplication::applicationFilePath())
                           + "|These arguments name no picture, folder or option, and were passed over.\n--unknown\n"
                           + PathIn("missing.jpg") + "\n--version"}));
}

}  // namespace
