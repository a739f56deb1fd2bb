#include "app/error_box.h"

#include "app/window_dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

ErrorAbout::ErrorAbout(const QString& message, QStringList subjects)
    : UserError(message),
      subjects_(std::move(subjects))
{}

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

void ShowErrorBox(WindowDialogs& dialogs, const UserError& error)
{
    QString text = ErrorBoxText(error.Text());
    if (const auto* about = dynamic_cast<const ErrorAbout*>(&error)) {
        for (const QString& subject : about->Subjects()) {
            text += u'\n' + subject;
        }
    }
    dialogs.ShowError(text, ApplicationTitle(QCoreApplication::applicationFilePath()));
}
