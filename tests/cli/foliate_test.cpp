// Fixed-layout books as Foliate shows them on a virtual X server: one page filling a tall window, two facing
// pages side by side in a wide one.
#include "tests/cli/cli_program.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QColor kFirstPage(220, 30, 30);
const QColor kSecondPage(30, 190, 30);

// Where `colour` lies on the screen.
QRect AreaOfColour(const QImage& screen, QColor colour)
{
    QRect area;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green())
                    + std::abs(pixel.blue() - colour.blue())
                < 60) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

class FoliateTest : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        for (const char* tool : {"foliate", "Xvfb", "xdotool", "xwd", "dbus-run-session"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                GTEST_SKIP() << tool << " is not installed: Foliate's view of fixed-layout books is not checked";
            }
        }
    }

    void TearDown() override { CloseFoliate(); }

    // Ends Foliate and its X server. Foliate ends with its display, and dbus-run-session then ends the session bus
    // it started for it: killed itself, it would leave that bus running.
    void CloseFoliate()
    {
        if (xServer_ != nullptr && xServer_->state() != QProcess::NotRunning) {
            xServer_->terminate();
            xServer_->waitForFinished();
        }
        if (foliate_ != nullptr && foliate_->state() != QProcess::NotRunning && !foliate_->waitForFinished(10000)) {
            foliate_->kill();
            foliate_->waitForFinished();
        }
    }

    // A fixed-layout book of a cover and two portrait pages of flat colours.
    QString MakeBook()
    {
        QStringList pictures;
        for (const auto& [name, colour] : {std::pair{"cover.png", QColor(230, 200, 30)},
                                           std::pair{"first.png", kFirstPage}, std::pair{"second.png", kSecondPage}}) {
            QImage picture(600, 800, QImage::Format_RGB32);
            picture.fill(colour);
            pictures << PathIn(name);
            EXPECT_TRUE(picture.save(pictures.last()));
        }
        const CliRun run = RunCli({"--layout", "fixed", "-t", "F", "-a", "A", "-o", PathIn("out"), "-c", pictures[0],
                                   pictures[1], pictures[2]});
        EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        return PathIn("out/F.epub");
    }

    // Opens `book` in Foliate filling a screen of `screen`, turns past the cover, and waits until the screen
    // shows the first page; returns what the screen shows then.
    QImage ShowFirstPage(const QString& book, QSize screen)
    {
        xServer_ = std::make_unique<QProcess>();
        xServer_->start(
            "Xvfb", {"-displayfd", "1", "-screen", "0", QString("%1x%2x24").arg(screen.width()).arg(screen.height())});
        if (!xServer_->waitForReadyRead(10000)) {
            ADD_FAILURE() << "Xvfb did not start";
            return {};
        }
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("DISPLAY", ":" + QString::fromLatin1(xServer_->readLine()).trimmed());
        // A home of its own, so that Foliate remembers no earlier place in the book.
        environment_.insert("HOME", PathIn("home"));
        // No accessibility bus: GTK would start one of its own that outlives the test.
        environment_.insert("NO_AT_BRIDGE", "1");
        foliate_ = std::make_unique<QProcess>();
        foliate_->setProcessEnvironment(environment_);
        foliate_->start("dbus-run-session", {"--", "foliate", book});

        QString window;
        if (X("timeout", {"20", "xdotool", "search", "--sync", "--onlyvisible", "--class", "foliate"}, &window) != 0) {
            ADD_FAILURE() << "Foliate's window did not come up";
            return {};
        }
        window = window.section('\n', 0, 0);
        X("xdotool", {"windowmove", window, "0", "0"});
        X("xdotool", {"windowsize", window, QString::number(screen.width()), QString::number(screen.height())});
        // The cover stands alone; the next key press turns to the first page (and its facing page).
        const auto coverShown = [](const QImage& shown) {
            return !AreaOfColour(shown, QColor(230, 200, 30)).isEmpty();
        };
        WaitForScreen(coverShown);
        X("xdotool", {"mousemove", QString::number(screen.width() / 2), "5", "click", "1"});
        X("xdotool", {"key", "Right"});
        return WaitForScreen([](const QImage& shown) { return !AreaOfColour(shown, kFirstPage).isEmpty(); });
    }

private:
    int X(const QString& program, const QStringList& arguments, QString* output = nullptr)
    {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(program, arguments);
        process.waitForFinished(30000);
        if (output != nullptr) {
            *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QImage Screenshot()
    {
        QProcess dump;
        dump.setProcessEnvironment(environment_);
        dump.start("xwd", {"-root", "-silent"});
        dump.waitForFinished(30000);
        QString errors;
        RunProgram(PythonProgram(), {SourceFolder() + "/tools/xwd_to_png.py", PathIn("screen.png")}, nullptr, &errors,
                   dump.readAllStandardOutput());
        return QImage(PathIn("screen.png"));
    }

    // The screen once it shows what `wanted` looks for, or as it stands after 30 seconds.
    QImage WaitForScreen(const std::function<bool(const QImage&)>& wanted)
    {
        const QDeadlineTimer deadline(30000);
        QImage shown = Screenshot();
        while (!wanted(shown) && !deadline.hasExpired()) {
            QThread::msleep(500);
            shown = Screenshot();
        }
        // Let a page that is still being laid out come to rest.
        QThread::msleep(1000);
        return Screenshot();
    }

    std::unique_ptr<QProcess> xServer_;
    std::unique_ptr<QProcess> foliate_;
    QProcessEnvironment environment_;
};

TEST_F(FoliateTest, ATallWindowShowsOnePageEdgeToEdgeAWideOneTwoFacingPages)
{
    const QString book = MakeBook();

    // A window taller than the page's proportions: the page takes its whole width, less Foliate's frame.
    const QImage tall = ShowFirstPage(book, {600, 1000});
    const QRect page = AreaOfColour(tall, kFirstPage);
    ASSERT_FALSE(page.isEmpty()) << "Foliate did not show the first page";
    EXPECT_GE(page.width(), tall.width() - 12) << page.width() << " of " << tall.width();
    EXPECT_NEAR(double(page.width()) / page.height(), 0.75, 0.02);
    EXPECT_TRUE(AreaOfColour(tall, kSecondPage).isEmpty());
    CloseFoliate();

    // A wide window: page 1 on the left, page 2 facing it on the right, each as tall as the other.
    const QImage wide = ShowFirstPage(book, {1280, 800});
    const QRect left = AreaOfColour(wide, kFirstPage);
    const QRect right = AreaOfColour(wide, kSecondPage);
    ASSERT_FALSE(left.isEmpty() || right.isEmpty()) << "Foliate did not show two facing pages";
    EXPECT_LE(std::abs(left.right() + 1 - right.left()), 2) << "the pages do not meet in the middle";
    EXPECT_EQ(left.height(), right.height());
    EXPECT_NEAR(double(left.width()) / left.height(), 0.75, 0.02);
    EXPECT_GE(left.height(), wide.height() - 120) << "the pages do not fill the window's height";
}

}  // namespace
