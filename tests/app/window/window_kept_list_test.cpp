// The window's page list as a file: saved and opened by the person, and kept in the state folder so that the next
// window offers it back after the last one was killed.

#include "app/controls/banner_toggle.h"
#include "app/labeled_edit.h"
#include "app/language_box.h"
#include "builder/workflow/book_formats.h"
#include "builder/workflow/book_settings.h"
#include "pages/page_list_model.h"
#include "tests/app/window/window_test_support.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <optional>

namespace {

// A window on `folder`, whose list is reordered and kept, and which is then killed as a crash or a power cut would
// end it: nothing of the window runs any more.
[[noreturn]] void ReorderAndDie(const QString& folder)
{
    qputenv("XDG_STATE_HOME", (folder + "/state").toUtf8());
    auto answers = std::make_unique<RecordingDialogs>();
    answers->pagePictures = {folder + "/a.jpg", folder + "/b.jpg", folder + "/c.jpg"};
    TForm1 window(folder, std::move(answers));
    window.Edit1->setText("Kept");
    window.PNGButton2Click(&window);
    window.ListView1PageNumberTyped(&window, 2, "1");
    window.WaitUntilKept();
    std::raise(SIGKILL);
    std::abort();
}

class WindowKeptListTest : public WindowTest {
protected:
    // What the window holds, as one line per detail and one per page.
    QStringList Held() const
    {
        const BookSettings settings = form->CurrentBookSettings();
        return QStringList{settings.title,  settings.author,       settings.coverPath,      settings.language,
                           settings.series, settings.seriesNumber, FormatOf(settings).Key()}
               + form->RowPaths();
    }

    void FillIn()
    {
        for (const char* name : {"c.jpg", "a.jpg", "b.jpg"}) {
            AddRow(MakePicture(QString("pages/") + name));
        }
        form->Edit1->setText("The Saga");
        form->Edit2->setText("Ann");
        form->LabeledEdit3->setText(PathIn("pages/a.jpg"));
        form->ComboBox1->setEditText("pt-BR");
        form->LabeledEdit5->setText("Saga");
        form->LabeledEdit6->setText("2");
        form->LayoutSwitch->SetChoice(1);
    }

    void NewWindow()
    {
        form.reset();
        auto recording = std::make_unique<RecordingDialogs>();
        dialogs = recording.get();
        form = std::make_unique<TForm1>(Root(), std::move(recording));
        form->show();
    }
};

TEST_F(WindowKeptListTest, ASavedListOpenedGivesTheSameRowsAndDetails)
{
    FillIn();
    const QStringList saved = Held();
    dialogs->listFile = PathIn("pages/saga.txt");
    form->SaveList1->trigger();
    EXPECT_EQ(dialogs->events, QStringList({"save list||The Saga.txt"}));
    // Written for a person: the pages beside the list by their names.
    EXPECT_TRUE(ReadTestFile(PathIn("pages/saga.txt")).startsWith("Tamboril page list\nTitle: The Saga\n"));
    EXPECT_TRUE(ReadTestFile(PathIn("pages/saga.txt")).endsWith("\n\nc.jpg\na.jpg\nb.jpg\n"));

    NewWindow();
    const QStringList empty = Held();
    dialogs->listFile = PathIn("pages/saga.txt");
    form->OpenList1->trigger();
    EXPECT_EQ(Held(), saved);
    // One step takes the whole list back.
    form->Undo1->trigger();
    EXPECT_EQ(Held().mid(0, 6), empty.mid(0, 6));
    EXPECT_EQ(form->RowPaths(), QStringList());

    // A picture gone since is named, and the rest is opened.
    QFile::remove(PathIn("pages/a.jpg"));
    dialogs->events.clear();
    form->OpenList1->trigger();
    EXPECT_EQ(form->RowPaths(), QStringList({PathIn("pages/c.jpg"), PathIn("pages/b.jpg")}));
    ASSERT_EQ(dialogs->events.size(), 2);
    EXPECT_TRUE(dialogs->events[1].contains("These pictures of the list are gone or no longer whole, and were left "
                                            "out.\n"
                                            + PathIn("pages/a.jpg") + " ("))
        << dialogs->events[1].toStdString();
}

// A window started on `folder`, answered by `dialogs`.
std::unique_ptr<TForm1> WindowOn(const QString& folder, RecordingDialogs*& dialogs)
{
    auto recording = std::make_unique<RecordingDialogs>();
    dialogs = recording.get();
    auto window = std::make_unique<TForm1>(folder, std::move(recording));
    window->show();
    return window;
}

TEST(WindowKilledTest, AWindowKilledAfterReorderingOffersTheSameListAtTheNextStart)
{
    // The killed window runs in this test started anew in a process of its own (no thread of this one may follow a
    // fork); that process finds the folder of the test that started it in the environment.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* folderVariable = "TAMBORIL_KILLED_WINDOW_FOLDER";
    std::optional<QTemporaryDir> ownFolder;
    QString folder = qEnvironmentVariable(folderVariable);
    if (folder.isEmpty()) {
        ownFolder.emplace();
        folder = ownFolder->path();
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            WriteTestFile(folder + "/" + name, SmallJpeg(name));
        }
        qputenv(folderVariable, folder.toUtf8());
    }
    EXPECT_EXIT(ReorderAndDie(folder), ::testing::KilledBySignal(SIGKILL), "");
    qunsetenv(folderVariable);

    qputenv("XDG_STATE_HOME", (folder + "/state").toUtf8());
    RecordingDialogs* dialogs = nullptr;
    std::unique_ptr<TForm1> form = WindowOn(folder, dialogs);
    form->OfferKeptLists();
    ASSERT_EQ(dialogs->events.size(), 1);
    EXPECT_TRUE(dialogs->events[0].startsWith("ask|Tamboril 3.3|A window of Tamboril closed or stopped on "));
    EXPECT_TRUE(dialogs->events[0].contains("with a page list of \"Kept\" of 3 pages"));
    EXPECT_EQ(form->RowPaths(), QStringList({folder + "/c.jpg", folder + "/a.jpg", folder + "/b.jpg"}));
    EXPECT_EQ(form->Edit1->text(), "Kept");

    // Taken up, it is this window's: closed with its pages it is offered once more, and declined it is gone.
    form.reset();
    form = WindowOn(folder, dialogs);
    dialogs->answer = false;
    form->OfferKeptLists();
    EXPECT_EQ(dialogs->events.size(), 1);
    EXPECT_EQ(form->RowPaths(), QStringList());
    form.reset();
    form = WindowOn(folder, dialogs);
    form->OfferKeptLists();
    EXPECT_TRUE(dialogs->events.isEmpty());
}

}  // namespace
