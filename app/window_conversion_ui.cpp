#include "app/window_conversion_ui.h"

#include "app/conversion_progress_dialog.h"
#include "app/error_box.h"
#include "app/window_dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

WindowConversionUi::WindowConversionUi(WindowDialogs& dialogs, QWidget& owner) : dialogs_(dialogs), owner_(owner) {}

WindowConversionUi::~WindowConversionUi()
{
    SetBusy(false);
}

void WindowConversionUi::ShowMessage(const QString& text, const QString& caption)
{
    CloseProgress();
    dialogs_.ShowPlainMessage(text, caption);
}

void WindowConversionUi::ShowSuccess(const QString& text, const QString& caption)
{
    CloseProgress();
    dialogs_.ShowPlainMessage(text, caption);
}

void WindowConversionUi::ShowError(const QString& text)
{
    CloseProgress();
    dialogs_.ShowError(text, ApplicationTitle(QCoreApplication::applicationFilePath()));
}

bool WindowConversionUi::AskOverwrite(const QString& text, const QString& caption)
{
    CloseProgress();
    return dialogs_.AskInformationYesNo(text, caption);
}

void WindowConversionUi::SetBusy(bool busy)
{
    if (!busy) {
        // The dialog goes first: it holds the normal pointer over the hourglass.
        CloseProgress();
    }
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void WindowConversionUi::OpenFolder(const QString& folder, const QString& bookPath)
{
    if (dialogs_.ShowFileInFolder(QFileInfo(bookPath).absoluteFilePath())) {
        return;
    }
    // The folder may be typed relative to the working folder, where the book was written; the file
    // browser needs it whole.
    const QString wholeFolder = QFileInfo(folder).absoluteFilePath();
    if (!dialogs_.OpenAddress(QUrl::fromLocalFile(wholeFolder))) {
        throw ErrorAbout("The desktop could not open the output folder", {wholeFolder});
    }
}

void WindowConversionUi::DispatchEvents()
{
    Progress();
    QCoreApplication::processEvents();
}

bool WindowConversionUi::CancelRequested()
{
    if (progress_ && progress_->wasCanceled()) {
        canceled_ = true;
    }
    return canceled_;
}

void WindowConversionUi::ReportStagingProgress(qsizetype picturesDone, qsizetype picturesTotal)
{
    Progress().SetStaged(picturesDone, picturesTotal);
}

void WindowConversionUi::ReportPackingProgress(qint64 bytesDone, qint64 bytesTotal)
{
    Progress().SetPacked(bytesDone, bytesTotal);
}

ConversionProgressDialog& WindowConversionUi::Progress()
{
    if (!progress_) {
        progress_ = std::make_unique<ConversionProgressDialog>(&owner_);
    }
    return *progress_;
}

void WindowConversionUi::CloseProgress()
{
    CancelRequested();
    progress_.reset();
}
