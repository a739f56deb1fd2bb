// Times the page list's commands, their Undo and Redo, and Convert (twice: the second replaces the
// book of the first) in the real window on the offscreen window system, driven through the
// window's own handlers as the tests drive them, and prints one table:
//
//   window_bench [PAGES...]        (default: 1000 10000 50000)
//
// Each number of pages runs in two processes of its own (this program started again with --list
// or --convert), so that Convert's peak memory is that of one conversion of that many pages.
// Every page is a hard link to one small real JPEG (the repository's samples/page1.jpg), so that
// the preview decodes and Convert copies as many pictures as there are pages.
//
// After Add, the list is scrolled through a screen at a time while the thumbnails come in, then
// to twenty places far apart, each time until every row in view shows its thumbnail.
//
// Targets: every list operation within 100 ms up to 10,000 pages and 1 s up to 50,000; no scroll
// step and no gap of Convert's event loop over 100 ms; a screen's thumbnails within 250 ms; the
// thumbnails' cache within its budget (4 MiB); Convert's peak memory within 64 MiB up to 50,000
// pages. The exit status is 1 when a target is missed.

#include "app/controls/png_button.h"
#include "app/form1.h"
#include "app/labeled_edit.h"
#include "app/picture_box.h"
#include "bench/support/process_memory.h"
#include "pages/page_list_model.h"
#include "pages/page_list_view.h"
#include "preview/thumbnail_loader.h"
#include "tests/app/window/recording_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QItemSelection>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

const QString kListMode = QStringLiteral("--list");
const QString kConvertMode = QStringLiteral("--convert");

void Require(bool condition, const char* what)
{
    if (!condition) {
        throw std::runtime_error(std::string("the run went wrong: ") + what);
    }
}

// `count` pictures in `folder`, page1.jpg, page2.jpg, ...: hard links to one copy of the sample.
QStringList MakePictures(const QString& folder, int count)
{
    Require(QDir().mkpath(folder), "cannot make the pictures' folder");
    const QString original = QDir(folder).filePath(QStringLiteral("original.jpg"));
    Require(QFile::copy(QStringLiteral(TAMBORIL_SOURCE_DIR "/samples/page1.jpg"), original),
            "cannot copy samples/page1.jpg");
    QStringList pictures;
    pictures.reserve(count);
    for (int page = 1; page <= count; ++page) {
        const QString picture = QDir(folder).filePath(QStringLiteral("page%1.jpg").arg(page));
        Require(::link(QFile::encodeName(original).constData(), QFile::encodeName(picture).constData()) == 0,
                "cannot link a picture");
        pictures << picture;
    }
    return pictures;
}

// Lets the window do what it put off: layouts, repaints, posted events.
void Settle()
{
    QCoreApplication::processEvents();
}

double Milliseconds(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void Print(const char* key, double value)
{
    std::printf("%s=%.3f\n", key, value);
    std::fflush(stdout);
}

// The window on a program folder of its own, with its boxes answered by RecordingDialogs, and the
// pictures it adds.
class BenchWindow {
public:
    explicit BenchWindow(int pages)
    {
        Require(folder_.isValid(), "cannot make a temporary folder");
        pictures = MakePictures(folder_.filePath(QStringLiteral("pictures")), pages);
        auto dialogs = std::make_unique<RecordingDialogs>();
        answers = dialogs.get();
        answers->pagePictures = pictures;
        // The list the window keeps of its work goes to this run's folder, never to the user's.
        qputenv("XDG_STATE_HOME", folder_.filePath(QStringLiteral("state")).toUtf8());
        form = std::make_unique<TForm1>(folder_.filePath(QStringLiteral("program")), std::move(dialogs));
        form->show();
        Require(QTest::qWaitForWindowExposed(form.get()), "the window did not come up");
    }

    QString PathIn(const QString& name) const { return folder_.filePath(name); }

    // Remove All, then Add of every picture.
    void Refill()
    {
        emit form->PNGButton3->clicked();
        emit form->PNGButton2->clicked();
        Settle();
        Require(Rows() == pictures.size(), "Add did not add every picture");
    }

    int Rows() const { return form->ListView1->Pages().rowCount(); }

    // Selects exactly these rows, in one selection.
    void SelectRows(const std::function<bool(int)>& selected)
    {
        PageListView& list = *form->ListView1;
        QItemSelection rows;
        for (int row = 0; row < Rows(); ++row) {
            if (selected(row)) {
                rows.select(list.model()->index(row, 0), list.model()->index(row, 1));
            }
        }
        list.selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Settle();
    }

    QStringList pictures;
    RecordingDialogs* answers = nullptr;
    std::unique_ptr<TForm1> form;

private:
    QTemporaryDir folder_;
};

// Whether every row in view shows its thumbnail (or its mark).
bool ThumbnailsInViewShown(PageListView& list)
{
    const auto [first, last] = list.RowsInView();
    for (int row = std::max(first, 0); row <= last; ++row) {
        if (list.Thumbnails().Find(list.Pages().Path(row)) == ThumbnailLoader::Status::NotYet) {
            return false;
        }
    }
    return first >= 0;
}

// The list scrolled through a screen at a time, as fast as the window lets it: the slowest step (the window must
// never wait for a thumbnail); then twenty places far apart: the longest wait until a screen's thumbnails are
// all shown; then the thumbnails' cache.
void MeasureThumbnails(PageListView& list)
{
    QScrollBar& bar = *list.verticalScrollBar();
    double slowestStep = 0;
    for (int value = bar.minimum(); value <= bar.maximum(); value += bar.pageStep()) {
        slowestStep = std::max(slowestStep, Milliseconds([&] {
                                   bar.setValue(value);
                                   list.viewport()->repaint();
                                   Settle();
                               }));
    }
    Print("scroll_step_ms", slowestStep);
    double slowestScreen = 0;
    for (int place = 0; place < 20; ++place) {
        slowestScreen = std::max(slowestScreen, Milliseconds([&] {
                                     list.scrollTo(list.Pages().index(list.Pages().rowCount() * place / 20, 0),
                                                   QAbstractItemView::PositionAtTop);
                                     Require(QTest::qWaitFor([&] { return ThumbnailsInViewShown(list); }, 10000),
                                             "the thumbnails in view did not come");
                                 }));
    }
    Print("thumbnails_ms", slowestScreen);
    Print("thumbnail_cache_mib", static_cast<double>(list.Thumbnails().CachedBytes()) / (1024 * 1024));
}

void RunListOperations(int pages)
{
    BenchWindow bench(pages);
    TForm1& form = *bench.form;
    PageListView& list = *form.ListView1;

    const long long beforeAdd = StatusKiB("VmRSS");
    Print("add_ms", Milliseconds([&] {
              emit form.PNGButton2->clicked();
              Settle();
          }));
    Require(bench.Rows() == pages, "Add did not add every picture");
    MeasureThumbnails(list);
    form.WaitUntilKept();
    Print("list_memory_mib", static_cast<double>(StatusKiB("VmRSS") - beforeAdd) / 1024);

    const auto remove = [&] {
        emit form.PNGButton1->clicked();
        Settle();
    };
    bench.Refill();
    bench.SelectRows([](int row) { return row % 2 == 0; });
    Print("remove_every_other_ms", Milliseconds(remove));
    Require(bench.Rows() == pages / 2, "Remove did not remove every other row");

    bench.Refill();
    bench.SelectRows([](int row) { return row == 1; });
    Print("remove_one_ms", Milliseconds(remove));
    Require(bench.Rows() == pages - 1, "Remove did not remove one row");

    bench.Refill();
    bench.SelectRows([pages](int row) { return row == pages - 1; });
    list.scrollToTop();
    Settle();
    const QPoint onFirstRow = list.RowRect(0).center();
    Print("drop_ms", Milliseconds([&] {
              emit list.dragOver(&list, onFirstRow);
              emit list.dragDrop(&list, onFirstRow);
              Settle();
          }));
    Require(list.Pages().Path(0) == bench.pictures.last(), "the drop did not move the last row");

    // The drop was the change; the click on the last row is the first look at the list since.
    const QImage before = form.Image1->Picture();
    Print("click_ms", Milliseconds([&] {
              const int last = bench.Rows() - 1;
              list.scrollTo(list.Pages().index(last, 0));
              Settle();
              QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowRect(last).center());
              Settle();
          }));
    Require(form.Image1->Picture() != before, "the click did not change the preview");

    // Every kind of change, taken back and made again; the slowest of those steps counts.
    double slowestStep = 0;
    const auto undoAndRedo = [&](const std::function<void()>& change) {
        const QStringList unchanged = form.RowPaths();
        change();
        Settle();
        const QStringList after = form.RowPaths();
        Require(after != unchanged, "a change to undo changed nothing");
        slowestStep = std::max(slowestStep, Milliseconds([&] {
                                   form.Undo1->trigger();
                                   Settle();
                               }));
        Require(form.RowPaths() == unchanged, "Undo did not restore the list");
        slowestStep = std::max(slowestStep, Milliseconds([&] {
                                   form.Redo1->trigger();
                                   Settle();
                               }));
        Require(form.RowPaths() == after, "Redo did not make the change again");
    };
    undoAndRedo([&] {
        emit list.dragOver(&list, onFirstRow);
        emit list.dragDrop(&list, onFirstRow);
    });
    undoAndRedo([&] {
        bench.SelectRows([](int row) { return row % 2 == 0; });
        remove();
    });
    undoAndRedo([&] { emit form.PNGButton3->clicked(); });
    undoAndRedo([&] { emit form.PNGButton2->clicked(); });
    std::reverse(bench.answers->pagePictures.begin(), bench.answers->pagePictures.end());
    bench.Refill();
    undoAndRedo([&] { form.SortByFileName1->trigger(); });
    Print("undo_ms", slowestStep);
    Require(bench.answers->events.filter(QRegularExpression("^error\\|")).isEmpty(), "a command failed");
}

// The installation data of the staging root, as the build puts it beside the program.
void InstallStagingRoot(const QString& programFolder)
{
    for (const QString& name : {QStringLiteral("mimetype"), QStringLiteral("META-INF/container.xml")}) {
        const QString target = programFolder + QStringLiteral("/epubfiles/") + name;
        Require(QDir().mkpath(QFileInfo(target).path()), "cannot make the staging root");
        Require(QFile::copy(QStringLiteral(TAMBORIL_BIN_DIR "/epubfiles/") + name, target),
                "cannot copy the installation data");
    }
}

// Clicks Convert and prints, under `prefix`, the time from the click to the first event dispatch, the
// longest gap of the event loop while it runs, the whole time and the peak resident memory.
void MeasureConvert(BenchWindow& bench, const std::string& prefix)
{
    TForm1& form = *bench.form;
    // A timer ticking every few milliseconds runs only when the conversion lets events through; the
    // longest time between two of its ticks is the longest the window stood still.
    QElapsedTimer clock;
    double firstDispatch = -1;
    double lastTick = 0;
    double longestGap = 0;
    const auto now = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(4);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, now() - lastTick);
        lastTick = now();
    });
    QTimer::singleShot(0, [&] {
        if (firstDispatch < 0) {
            firstDispatch = now();
        }
    });

    const bool peakReset = ResetPeakResident();
    const long long before = StatusKiB("VmRSS");
    clock.start();
    ticker.start();
    emit form.PNGButton4->clicked();
    const double total = now();
    ticker.stop();
    const long long peak = StatusKiB("VmHWM");

    // The window's own loop takes over again only when the click's handler returns.
    longestGap = std::max(longestGap, total - lastTick);
    const auto print = [&prefix](const char* key, double value) { Print((prefix + key).c_str(), value); };
    print("first_dispatch_ms", firstDispatch < 0 ? total : firstDispatch);
    print("gap_ms", longestGap);
    print("total_ms", total);
    print("before_mib", static_cast<double>(before) / 1024);
    print("peak_mib", static_cast<double>(peak) / 1024);
    print("peak_reset", peakReset ? 1 : 0);
    Require(bench.answers->events.filter(QRegularExpression("^error\\|")).isEmpty(), "Convert failed");
    Require(QFileInfo(bench.PathIn(QStringLiteral("out/Bench.epub"))).isFile(), "Convert wrote no book");
}

// Converts twice: the second time the book is replaced while the first run's staged files are still
// being removed.
void RunConvert(int pages)
{
    BenchWindow bench(pages);
    TForm1& form = *bench.form;
    InstallStagingRoot(bench.PathIn(QStringLiteral("program")));
    bench.Refill();
    form.Edit1->setText(QStringLiteral("Bench"));
    form.Edit2->setText(QStringLiteral("Bench"));
    form.LabeledEdit4->setText(bench.PathIn(QStringLiteral("out")));
    Settle();
    MeasureConvert(bench, "convert_");
    MeasureConvert(bench, "reconvert_");
}

using Measures = std::map<std::string, double>;

// Runs this program again in `mode` for `pages` pages and reads the key=value lines it prints.
Measures RunChild(const QString& mode, int pages)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {mode, QString::number(pages)});
    Require(child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
            "a measuring process failed");
    Measures measures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) {
            measures[line.left(equals).toStdString()] = line.mid(equals + 1).toDouble();
        }
    }
    return measures;
}

enum class Unit { Milliseconds, MiB };

struct TableRow {
    const char* label;
    const char* key;
    Unit unit;
    // The target for a number of pages; 0 for none.
    std::function<double(int)> target;
};

double ListTarget(int pages)
{
    if (pages <= 10000) {
        return 100;
    }
    return pages <= 50000 ? 1000 : 0;
}

double GapTarget(int)
{
    return 100;
}

double ThumbnailsTarget(int)
{
    return 250;
}

double ThumbnailCacheTarget(int)
{
    return static_cast<double>(ThumbnailLoader::kDefaultBudget) / (1024 * 1024);
}

double MemoryTarget(int pages)
{
    return pages <= 50000 ? 64 : 0;
}

QString Cell(double value, Unit unit, double target, bool& missed)
{
    QString text;
    if (unit == Unit::MiB) {
        text = QString::asprintf("%.1f MiB", value);
    } else {
        text = value < 1000 ? QString::asprintf("%.1f ms", value) : QString::asprintf("%.2f s", value / 1000);
    }
    if (target > 0) {
        const bool ok = value <= target;
        missed = missed || !ok;
        text += ok ? QStringLiteral(" ok") : QStringLiteral(" MISS");
    }
    return text;
}

int RunTable(const QList<int>& sizes)
{
    const std::vector<TableRow> rows = {
        {"Add N", "add_ms", Unit::Milliseconds, ListTarget},
        {"Remove every other row (N/2 selected)", "remove_every_other_ms", Unit::Milliseconds, ListTarget},
        {"Remove one row near the top", "remove_one_ms", Unit::Milliseconds, ListTarget},
        {"Drop of the last row onto row 1", "drop_ms", Unit::Milliseconds, ListTarget},
        {"First click on the last row after a change", "click_ms", Unit::Milliseconds, ListTarget},
        {"Undo or redo of any change (slowest)", "undo_ms", Unit::Milliseconds, ListTarget},
        {"Scroll a screen, thumbnails coming (slowest)", "scroll_step_ms", Unit::Milliseconds, GapTarget},
        {"A screen's thumbnails after a jump (slowest)", "thumbnails_ms", Unit::Milliseconds, ThumbnailsTarget},
        {"Thumbnails' cache after scrolling", "thumbnail_cache_mib", Unit::MiB, ThumbnailCacheTarget},
        {"Memory the list added (rows, thumbnails)", "list_memory_mib", Unit::MiB, [](int) { return 0.0; }},
        {"Convert: click to the first event dispatch", "convert_first_dispatch_ms", Unit::Milliseconds, GapTarget},
        {"Convert: longest event-loop gap", "convert_gap_ms", Unit::Milliseconds, GapTarget},
        {"Convert: peak memory", "convert_peak_mib", Unit::MiB, MemoryTarget},
        {"Convert: whole conversion", "convert_total_ms", Unit::Milliseconds, [](int) { return 0.0; }},
        {"Convert again: click to the first dispatch", "reconvert_first_dispatch_ms", Unit::Milliseconds, GapTarget},
        {"Convert again: longest event-loop gap", "reconvert_gap_ms", Unit::Milliseconds, GapTarget},
        {"Convert again: peak memory", "reconvert_peak_mib", Unit::MiB, MemoryTarget},
    };
    std::vector<Measures> columns;
    for (const int pages : sizes) {
        std::fprintf(stderr, "measuring %d pages ...\n", pages);
        Measures measures = RunChild(kListMode, pages);
        measures.merge(RunChild(kConvertMode, pages));
        columns.push_back(std::move(measures));
    }

    std::printf("The window offscreen, commands driven through its handlers; each size in processes of its own.\n");
    std::printf("%-44s", "operation");
    for (const int pages : sizes) {
        std::printf("%18s", qPrintable(QLocale(QLocale::English).toString(pages) + QStringLiteral(" pages")));
    }
    std::printf("\n");
    bool missed = false;
    for (const TableRow& row : rows) {
        std::printf("%-44s", row.label);
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const QString cell =
                Cell(columns[column].at(row.key), row.unit, row.target(sizes[static_cast<qsizetype>(column)]), missed);
            std::printf("%18s", qPrintable(cell));
        }
        std::printf("\n");
    }
    std::printf("Targets: list operations <= 100 ms up to 10,000 pages and <= 1 s up to 50,000; a scroll step and\n"
                "Convert's event-loop gaps <= 100 ms; a screen's thumbnails <= 250 ms; the thumbnails' cache within\n"
                "its budget of 4 MiB; Convert's peak resident memory <= 64 MiB up to 50,000 pages.\n");
    const bool peakReset = std::all_of(columns.begin(), columns.end(), [](const Measures& measures) {
        return measures.at("convert_peak_reset") != 0 && measures.at("reconvert_peak_reset") != 0;
    });
    if (!peakReset) {
        std::printf("The system refused to reset the peak memory: it is the conversion process's peak since start.\n");
    }
    return missed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The table and the progress lines on standard error come in the order they are written.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool child = argc == 3 && (argv[1] == kListMode || argv[1] == kConvertMode);
    try {
        if (child) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            QApplication application(argc, argv);
            const int pages = QString::fromLocal8Bit(argv[2]).toInt();
            if (argv[1] == kListMode) {
                RunListOperations(pages);
            } else {
                RunConvert(pages);
            }
            return 0;
        }
        QCoreApplication application(argc, argv);
        QList<int> sizes;
        for (int i = 1; i < argc; ++i) {
            const int pages = QString::fromLocal8Bit(argv[i]).toInt();
            if (pages < 2) {
                std::fprintf(stderr, "usage: window_bench [PAGES...]   (each at least 2)\n");
                return 2;
            }
            sizes << pages;
        }
        return RunTable(sizes.isEmpty() ? QList<int>{1000, 10000, 50000} : sizes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_bench: %s\n", error.what());
        return 1;
    }
}
