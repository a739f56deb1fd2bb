#include "app/conversion_progress_dialog.h"
#include "app/window_conversion_ui.h"
#include "tests/app/window/window_test_support.h"

#include <QDeadlineTimer>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class WindowConversionUiTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::restoreOverrideCursor();
        }
    }

    ConversionProgressDialog* Progress() { return owner.findChild<ConversionProgressDialog*>(); }

    // Packs on for a while: lets events through and reports a slowly growing share, as a big book
    // does, until the progress dialog is up or `limitMilliseconds` have passed.
    void PackSlowly(int limitMilliseconds)
    {
        const QDeadlineTimer deadline(limitMilliseconds);
        while (!deadline.hasExpired()) {
            packed += 100;
            ui.ReportPackingProgress(packed, 1000000);
            ui.DispatchEvents();
            if (Progress() != nullptr && Progress()->isVisible()) {
                return;
            }
            QThread::msleep(5);
        }
    }

    qint64 packed = 0;
    QWidget owner;
    RecordingDialogs dialogs;
    WindowConversionUi ui{dialogs, owner};
};

TEST_F(WindowConversionUiTest, QuickPackingNeverShowsTheProgressDialog)
{
    ui.SetBusy(true);
    for (int done = 0; done <= 10; ++done) {
        ui.ReportPackingProgress(done * 100, 1000);
        ui.DispatchEvents();
    }
    ASSERT_NE(Progress(), nullptr);
    EXPECT_FALSE(Progress()->isVisible());
    ui.SetBusy(false);
    // It is gone before the result is shown, so it cannot come up over the message.
    EXPECT_EQ(Progress(), nullptr);
    EXPECT_FALSE(ui.CancelRequested());
    EXPECT_EQ(OverrideCursorName(), "none");
}

TEST_F(WindowConversionUiTest, LongPackingShowsAModalDialogWhoseCancelStopsIt)
{
    ui.SetBusy(true);
    PackSlowly(10000);
    ConversionProgressDialog* progress = Progress();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(progress->labelText(), "Packing the book...");
    EXPECT_EQ(progress->maximum(), ConversionProgressDialog::kSteps);
    EXPECT_GT(progress->value(), 0);
    // The pointer over it is the normal one, so that Cancel looks usable.
    EXPECT_EQ(OverrideCursorName(), "arrow");
    EXPECT_FALSE(ui.CancelRequested());

    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(ui.CancelRequested());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(OverrideCursorName(), "wait");

    // More progress does not bring it back.
    PackSlowly(300);
    EXPECT_FALSE(progress->isVisible());

    ui.SetBusy(false);
    EXPECT_TRUE(ui.CancelRequested());
    EXPECT_EQ(OverrideCursorName(), "none");
}

}  // namespace
