#pragma once

#include "app/form1.h"
#include "app/window_dialogs.h"
#include "pages/page_list_view.h"
#include "tests/support/temp_folder_test.h"

#include <QModelIndex>
#include <QPoint>
#include <QStringList>

#include <memory>

class PageListModel;
class QWidget;

// Stands in for the person in front of the window's boxes: records every box, question and
// opened address as "kind|caption|text" lines, with the pointer's shape at that moment, and
// answers questions as told. Never blocks.
class RecordingDialogs : public WindowDialogs {
public:
    void ShowPlainMessage(const QString& text, const QString& caption) override;
    bool AskInformationYesNo(const QString& text, const QString& caption) override;
    void ShowError(const QString& text, const QString& caption) override;
    bool OpenAddress(const QUrl& address) override;
    // Records "show||path" when `fileManagerShows`; a file manager that does not answer shows nothing.
    bool ShowFileInFolder(const QString& filePath) override;
    QStringList ChoosePagePictures() override;
    QString ChooseCoverPicture() override;
    QString BrowseForFolder(const QString& initialFolder) override;
    QString ChooseListToOpen() override;
    QString ChooseListToSave(const QString& suggestedPath) override;

    QStringList events;
    // The application's pointer shape when each event happened: "none" without an override
    // cursor, else "wait", "arrow" or the shape's number.
    QStringList cursors;
    bool answer = true;
    // Whether the desktop opens the addresses asked of it.
    bool desktopOpens = true;
    // Whether a file manager shows the files asked of it.
    bool fileManagerShows = false;
    // What the file dialogs and the folder browser answer; empty answers are cancels.
    QStringList pagePictures;
    QString coverPicture;
    QString folder;
    QString listFile;

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
    // Moves the pointer to `pos` with `buttons` held.
    void MoveAt(QPoint pos, Qt::MouseButtons buttons = Qt::NoButton);
    // The same with the keys held, as the keyboard would hold them.
    void ClickAt(QPoint pos, Qt::KeyboardModifiers modifiers);

    // Drags the row by pressing on it and moving the pointer, and drops it at `to`, in window
    // coordinates. Needs a window system with drag and drop, which the offscreen one is not.
    void DragRowTo(int row, QPoint to);

    // The middle of a row of the page list, and the middle of a control, in window coordinates.
    QPoint RowPoint(int row) const;
    QPoint ControlPoint(const QWidget& control) const;

    // A small real picture (SmallJpeg) made at `relativePath` in the test's folder; its full path.
    QString MakePicture(const QString& relativePath);

    // Appends a row to the page list, as a step that cannot be undone.
    void AddRow(const QString& path);
    PageListModel& Pages() const;
    int RowCount() const;
    // Each row as the list shows it: "page path".
    QStringList PageTexts() const;

    // The rows' selection and current row, as the list's own selection model holds them.
    QModelIndex RowIndex(int row) const;
    void SetCurrentRow(int row);
    void SelectRow(int row);
    bool IsRowSelected(int row) const;

    std::unique_ptr<TForm1> form;
    RecordingDialogs* dialogs = nullptr;
};
