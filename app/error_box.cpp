#include "app/error_box.h"

#include "app/window_dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

const char* SilentAbort::what() const noexcept
{
    return "Operation aborted";
}

ErrorAbout::ErrorAbout(const std::string& message, QStringList subjects)
    : std::runtime_error(message), subjects_(std::move(subjects))
{
}

const QStringList& ErrorAbout::Subjects() const noexcept
{
    return subjects_;
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
    QString text = ErrorBoxText(QString::fromUtf8(error.what()));
    if (const auto* about = dynamic_cast<const ErrorAbout*>(&error)) {
        for (const QString& subject : about->Subjects()) {
            text += u'\n' + subject;
        }
    }
    dialogs.ShowError(text, ApplicationTitle(QCoreApplication::applicationFilePath()));
}
