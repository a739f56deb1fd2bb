#pragma once

#include "common/user_error.h"

#include <QString>
#include <QStringList>

class WindowDialogs;

// An error about particular pictures, folders or web addresses: the error box shows its message
// as it shows any other, then each of them on a line of its own, so that the person knows which
// one it was.
class ErrorAbout : public UserError {
public:
    ErrorAbout(const QString& message, QStringList subjects);

    const QStringList& Subjects() const noexcept;

private:
    QStringList subjects_;
};

// The caption of the error box: the program file's name without its folder and without
// everything from its first full stop, the first letter in upper case and the rest in lower case
// ("/usr/bin/tamboril" gives "Tamboril").
QString ApplicationTitle(const QString& programPath);

// The text of the error box: the error's message, with a full stop appended when its last
// character sorts after "." (so "Disk full" gets one, "Disk full!" does not).
QString ErrorBoxText(const QString& message);

// The error box: what the person sees of an error that escaped a command. A modal box with an
// error icon and an OK button, captioned with the running program's ApplicationTitle, showing
// ErrorBoxText of the message and, for an ErrorAbout, its subjects below.
void ShowErrorBox(WindowDialogs& dialogs, const UserError& error);
