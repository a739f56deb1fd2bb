#pragma once

#include "builder/workflow/conversion_ui.h"
#include "cli/progress_line.h"

// The command line's side of a conversion: messages go to the standard streams, the overwrite
// question is answered by -y, by the person at the terminal, or else with No; the interrupting
// signals stop the conversion, and end the question at once with No. With `showProgress`, a line on standard error (a
// terminal) shows how far the conversion is while it runs.
class ConsoleUi : public ConversionUi {
public:
    ConsoleUi(bool replaceWithoutAsking, bool showProgress);

    void ShowMessage(const QString& text, const QString& caption) override;
    void ShowSuccess(const QString& text, const QString& caption) override;
    void ShowError(const QString& text) override;
    bool AskOverwrite(const QString& text, const QString& caption) override;
    void SetBusy(bool busy) override;
    void OpenFolder(const QString& folder, const QString& bookPath) override;
    // True once SIGINT, SIGHUP or SIGTERM has asked the run to stop.
    bool CancelRequested() override;
    void ReportStagingProgress(qsizetype picturesDone, qsizetype picturesTotal) override;
    void ReportPackingProgress(qint64 bytesDone, qint64 bytesTotal) override;

private:
    bool replaceWithoutAsking_;
    ProgressLine progress_;
};
