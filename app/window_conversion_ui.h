#pragma once

#include "builder/workflow/conversion_ui.h"

#include <memory>

class ConversionProgressDialog;
class QWidget;
class WindowDialogs;

// The window's side of a conversion: messages as modal boxes, the hourglass pointer during the
// long work, a progress dialog with a Cancel button while the pages are prepared and the book is
// packed, the new book shown selected in the file manager at the end.
//
// The progress dialog is made when the long work first lets events through and comes up only when
// the conversion takes a while (see ConversionProgressDialog); it is gone as soon as the long work
// ends, before any message about the result, and whenever a message or question of the conversion is shown, so
// that it never hides one. The hourglass is held by this object: whatever way the
// conversion ends, it is gone at the latest when the object is destroyed.
class WindowConversionUi : public ConversionUi {
public:
    // The progress dialog is shown over `owner`.
    WindowConversionUi(WindowDialogs& dialogs, QWidget& owner);
    ~WindowConversionUi() override;
    WindowConversionUi(const WindowConversionUi&) = delete;
    WindowConversionUi& operator=(const WindowConversionUi&) = delete;

    void ShowMessage(const QString& text, const QString& caption) override;
    void ShowSuccess(const QString& text, const QString& caption) override;
    // Looks like the error box: error icon, OK, the program's title as caption.
    void ShowError(const QString& text) override;
    bool AskOverwrite(const QString& text, const QString& caption) override;
    void SetBusy(bool busy) override;
    // Asks the file manager to show the book selected; where none does, opens the folder in the
    // desktop's file browser. Throws ErrorAbout, naming the folder, when the desktop cannot open it either.
    void OpenFolder(const QString& folder, const QString& bookPath) override;
    // Lets waiting events through, the progress dialog's among them.
    void DispatchEvents() override;
    // True once Cancel was pressed in the progress dialog; it stays true after the dialog is gone.
    bool CancelRequested() override;
    void ReportStagingProgress(qsizetype picturesDone, qsizetype picturesTotal) override;
    void ReportPackingProgress(qint64 bytesDone, qint64 bytesTotal) override;

private:
    ConversionProgressDialog& Progress();
    // Removes the progress dialog, keeping a Cancel pressed in it. The dialog would otherwise come up by itself
    // over a box opened meanwhile and, being modal, leave that box unanswerable; the next progress report makes a
    // new one, which again waits before it shows.
    void CloseProgress();

    WindowDialogs& dialogs_;
    QWidget& owner_;
    std::unique_ptr<ConversionProgressDialog> progress_;
    bool canceled_ = false;
    bool busy_ = false;
};
