#include "tests/app/window/window_test_support.h"

#include "pages/page_list_model.h"
#include "tests/support/test_files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

void WindowTest::SetUp()
{
    TempFolderTest::SetUp();
    // The program's folder holds the installation data that every book carries, as the build's does.
    for (const char* name : {"mimetype", "META-INF/container.xml"}) {
        WriteTestFile(PathIn(QString("epubfiles/") + name), ReadTestFile(BuiltProgramsFolder() + "/epubfiles/" + name));
    }
    // The lists a window keeps of its work go to the test's own state folder.
    qputenv("XDG_STATE_HOME", PathIn("state").toUtf8());
    auto recording = std::make_unique<RecordingDialogs>();
    dialogs = recording.get();
    form = std::make_unique<TForm1>(Root(), std::move(recording));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void WindowTest::TearDown()
{
    form.reset();
    // A test that failed half-way must not leave the next one under an hourglass.
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

namespace {

int timestamp = 0;

void SendMouse(QWidget& window, QPoint pos, Qt::MouseButtons buttons, Qt::MouseButton button, QEvent::Type type,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    // Presses lie far apart in time, so that no two of them make a double click.
    timestamp += 1000;
    qt_handleMouseEvent(window.windowHandle(), pos, window.mapToGlobal(pos), buttons, button, type, modifiers,
                        timestamp);
    QCoreApplication::processEvents();
}

}  // namespace

void WindowTest::PressAt(QPoint pos, Qt::MouseButton button)
{
    SendMouse(*form, pos, Qt::NoButton, Qt::NoButton, QEvent::MouseMove);
    SendMouse(*form, pos, button, button, QEvent::MouseButtonPress);
}

void WindowTest::ReleaseAt(QPoint pos, Qt::MouseButton button)
{
    SendMouse(*form, pos, Qt::NoButton, button, QEvent::MouseButtonRelease);
}

void WindowTest::ClickAt(QPoint pos, Qt::MouseButton button)
{
    PressAt(pos, button);
    ReleaseAt(pos, button);
}

void WindowTest::MoveAt(QPoint pos, Qt::MouseButtons buttons)
{
    SendMouse(*form, pos, buttons, Qt::NoButton, QEvent::MouseMove);
}

void WindowTest::ClickAt(QPoint pos, Qt::KeyboardModifiers modifiers)
{
    SendMouse(*form, pos, Qt::NoButton, Qt::NoButton, QEvent::MouseMove, modifiers);
    SendMouse(*form, pos, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, modifiers);
    SendMouse(*form, pos, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, modifiers);
}

void WindowTest::DragRowTo(int row, QPoint to)
{
    const QPoint from = RowPoint(row);
    PressAt(from);
    // The first move with the button held makes the list ready to drag; the next one, far enough
    // away, starts the drag, which runs an event loop of its own until the button is released. The
    // rest of the way is played from inside that loop.
    MoveAt(from + QPoint(0, 1), Qt::LeftButton);
    QTimer::singleShot(0, form.get(), [this, to] {
        MoveAt(to - QPoint(0, 1), Qt::LeftButton);
        MoveAt(to, Qt::LeftButton);
        ReleaseAt(to);
    });
    MoveAt(from + QPoint(0, QApplication::startDragDistance() + 5), Qt::LeftButton);
}

QPoint WindowTest::RowPoint(int row) const
{
    return form->ListView1->viewport()->mapTo(form.get(), form->ListView1->RowRect(row).center());
}

QPoint WindowTest::ControlPoint(const QWidget& control) const
{
    return control.mapTo(form.get(), control.rect().center());
}

QString WindowTest::MakePicture(const QString& relativePath)
{
    WriteTestFile(PathIn(relativePath), SmallJpeg(relativePath.toUtf8()));
    return PathIn(relativePath);
}

void WindowTest::AddRow(const QString& path)
{
    PageListModel& pages = Pages();
    pages.InsertRows(pages.rowCount(), RowsForPaths({path}));
}

PageListModel& WindowTest::Pages() const
{
    return form->ListView1->Pages();
}

int WindowTest::RowCount() const
{
    return Pages().rowCount();
}

QStringList WindowTest::PageTexts() const
{
    const PageListModel& pages = Pages();
    QStringList texts;
    for (int row = 0; row < pages.rowCount(); ++row) {
        texts << pages.index(row, 0).data().toString() + " " + pages.index(row, 1).data().toString();
    }
    return texts;
}

QModelIndex WindowTest::RowIndex(int row) const
{
    return Pages().index(row, 0);
}

void WindowTest::SetCurrentRow(int row)
{
    form->ListView1->setCurrentIndex(RowIndex(row));
}

void WindowTest::SelectRow(int row)
{
    form->ListView1->selectionModel()->select(RowIndex(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool WindowTest::IsRowSelected(int row) const
{
    return form->ListView1->selectionModel()->isRowSelected(row);
}
