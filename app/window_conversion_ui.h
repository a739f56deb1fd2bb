#pragma once

#include "builder/conversion_ui.h"

class WindowDialogs;

// The window's side of a conversion: messages as modal boxes, the hourglass pointer during the
// long work, the output folder opened in the file browser at the end.
//
// The hourglass is held by this object: whatever way the conversion ends, it is gone at the latest
// when the object is destroyed.
class WindowConversionUi : public ConversionUi {
public:
    explicit WindowConversionUi(WindowDialogs& dialogs);
    ~WindowConversionUi() override;
    WindowConversionUi(const WindowConversionUi&) = delete;
    WindowConversionUi& operator=(const WindowConversionUi&) = delete;

    void ShowMessage(const QString& text, const QString& caption) override;
    void ShowSuccess(const QString& text, const QString& caption) override;
    // Looks like the error box: error icon, OK, the program's title as caption.
    void ShowError(const QString& text) override;
    bool AskOverwrite(const QString& text, const QString& caption) override;
    void SetBusy(bool busy) override;
    void OpenFolder(const QString& folder) override;
    void DispatchEvents() override;

private:
    WindowDialogs& dialogs_;
    bool busy_ = false;
};
