#pragma once

#include "app/form1.h"
#include "app/window_dialogs.h"
#include "tests/support/temp_folder_test.h"

#include <QPoint>
#include <QStringList>

#include <memory>

class QWidget;

// Stands in for the person in front of the window's boxes: records every box, question and
// opened address as "kind|caption|text" lines, with the pointer's shape at that moment, and
// answers questions as told. Never blocks.
class RecordingDialogs : public WindowDialogs {
public:
    void ShowPlainMessage(const QString& text, const QString& caption) override;
    bool AskInformationYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text, const QString& caption) override;
    void OpenAddress(const QUrl& address) override;

    QStringList events;
    // The application's pointer shape when each event happened: "none" without an override
    // cursor, else "wait", "arrow" or the shape's number.
    QStringList cursors;
    bool answer = true;

private:
    void Record(const QString& event);
};

// The application's override cursor as RecordingDialogs names it.
QString OverrideCursorName();

// A window built in a fresh temporary folder taken as the program's folder, shown on the
// offscreen window system, with recording dialogs.
class WindowTest : public TempFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends a press of `button` at `pos` (window coordinates) the way the window system does, so
    // that Qt finds the control under the point itself; then the matching release.
    void ClickAt(QPoint pos, Qt::MouseButton button = Qt::LeftButton);
    void PressAt(QPoint pos, Qt::MouseButton button = Qt::LeftButton);
    void ReleaseAt(QPoint pos, Qt::MouseButton button = Qt::LeftButton);

    // Appends a row to the page list as the Add command does.
    void AddRow(const QString& path);
    QStringList PageTexts() const;

    std::unique_ptr<TForm1> form;
    RecordingDialogs* dialogs = nullptr;
};
