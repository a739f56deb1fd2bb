#include "tests/app/window/window_test_support.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

void RecordingDialogs::ShowPlainMessage(const QString& text, const QString& caption)
{
    Record("plain|" + caption + "|" + text);
}

bool RecordingDialogs::AskInformationYesNo(const QString& text, const QString& caption)
{
    Record("ask|" + caption + "|" + text);
    return answer;
}

void RecordingDialogs::ShowError(const QString& text, const QString& caption)
{
    Record("error|" + caption + "|" + text);
}

void RecordingDialogs::OpenAddress(const QUrl& address)
{
    Record("open||" + address.toString());
}

void RecordingDialogs::Record(const QString& event)
{
    events << event;
    cursors << OverrideCursorName();
}

QString OverrideCursorName()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (cursor == nullptr) {
        return QStringLiteral("none");
    }
    switch (cursor->shape()) {
    case Qt::WaitCursor:
        return QStringLiteral("wait");
    case Qt::ArrowCursor:
        return QStringLiteral("arrow");
    default:
        return QString::number(cursor->shape());
    }
}

void WindowTest::SetUp()
{
    TempFolderTest::SetUp();
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

void SendMouse(QWidget& window, QPoint pos, Qt::MouseButtons buttons, Qt::MouseButton button, QEvent::Type type)
{
    // Presses lie far apart in time, so that no two of them make a double click.
    timestamp += 1000;
    qt_handleMouseEvent(window.windowHandle(), pos, window.mapToGlobal(pos), buttons, button, type, Qt::NoModifier,
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

void WindowTest::AddRow(const QString& path)
{
    auto* row = new QTreeWidgetItem(form->ListView1);
    row->setText(0, QString::number(form->ListView1->topLevelItemCount()));
    row->setText(1, path);
}

QStringList WindowTest::PageTexts() const
{
    QStringList pages;
    for (int row = 0; row < form->ListView1->topLevelItemCount(); ++row) {
        pages << form->ListView1->topLevelItem(row)->text(0) + " " + form->ListView1->topLevelItem(row)->text(1);
    }
    return pages;
}
