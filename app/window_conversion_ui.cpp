#include "app/window_conversion_ui.h"

#include "app/error_box.h"
#include "app/window_dialogs.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QUrl>

WindowConversionUi::WindowConversionUi(WindowDialogs& dialogs)
    : dialogs_(dialogs)
{
}

WindowConversionUi::~WindowConversionUi()
{
    SetBusy(false);
}

void WindowConversionUi::ShowMessage(const QString& text, const QString& caption)
{
    dialogs_.ShowPlainMessage(text, caption);
}

void WindowConversionUi::ShowSuccess(const QString& text, const QString& caption)
{
    dialogs_.ShowPlainMessage(text, caption);
}

void WindowConversionUi::ShowError(const QString& text)
{
    dialogs_.ShowError(text, ApplicationTitle(QCoreApplication::applicationFilePath()));
}

bool WindowConversionUi::AskOverwrite(const QString& text, const QString& caption)
{
    return dialogs_.AskInformationYesNo(text, caption);
}

void WindowConversionUi::SetBusy(bool busy)
{
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

void WindowConversionUi::OpenFolder(const QString& folder)
{
    dialogs_.OpenAddress(QUrl::fromLocalFile(folder));
}

void WindowConversionUi::DispatchEvents()
{
    QCoreApplication::processEvents();
}
