#include "app/error_box.h"

#include "app/window_dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>

const char* SilentAbort::what() const noexcept
{
    return "Operation aborted";
}

QString ApplicationTitle(const QString& programPath)
{
    const QString fileName = QFileInfo(programPath).fileName();
    const QString title = fileName.left(fileName.indexOf(u'.'));
    return title.left(1).toUpper() + title.mid(1).toLower();
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.') {
        return message + u'.';
    }
    return message;
}

void ShowErrorBox(WindowDialogs& dialogs, const std::exception& error)
{
    if (dynamic_cast<const SilentAbort*>(&error) != nullptr) {
        return;
    }
    dialogs.ShowError(ErrorBoxText(QString::fromUtf8(error.what())),
                      ApplicationTitle(QCoreApplication::applicationFilePath()));
}
