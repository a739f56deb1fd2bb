#pragma once

#include "builder/workflow/conversion_ui.h"

#include <QStringList>

#include <functional>

// Stands in for the person at the window: answers the overwrite question as told and records
// everything the conversion shows, in order, as "kind|caption|text" lines.
class RecordingUi : public ConversionUi {
public:
    void ShowMessage(const QString& text, const QString& caption) override
    {
        events << "message|" + caption + "|" + text;
    }
    void ShowSuccess(const QString& text, const QString& caption) override
    {
        events << "success|" + caption + "|" + text;
    }
    void ShowError(const QString& text) override { events << "error||" + text; }
    bool AskOverwrite(const QString& text, const QString& caption) override
    {
        events << "ask|" + caption + "|" + text;
        return overwriteAnswer;
    }
    void SetBusy(bool busy) override { events << (busy ? QStringLiteral("busy") : QStringLiteral("idle")); }
    void OpenFolder(const QString& folder, const QString& /*bookPath*/) override { events << "open||" + folder; }
    void DispatchEvents() override
    {
        ++dispatchCount;
        if (onDispatch) {
            onDispatch();
        }
    }
    bool CancelRequested() override { return cancel; }

    QStringList events;
    bool overwriteAnswer = false;
    bool cancel = false;
    int dispatchCount = 0;
    // Runs at each dispatch, as an event that arrives meanwhile would.
    std::function<void()> onDispatch;
};
