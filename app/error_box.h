#pragma once

#include <QString>

#include <exception>

class WindowDialogs;

// An error that ends a command without a message: the error box shows nothing for it.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override;
};

// The caption of the error box: the program file's name without its folder and without
// everything from its first full stop, the first letter in upper case and the rest in lower case
// ("/usr/bin/tamboril" gives "Tamboril").
QString ApplicationTitle(const QString& programPath);

// The text of the error box: the error's message, with a full stop appended when its last
// character sorts after "." (so "Disk full" gets one, "Disk full!" does not).
QString ErrorBoxText(const QString& message);

// The error box: what the person sees of an error that escaped a command. A modal box with an
// error icon and an OK button, captioned with the running program's ApplicationTitle; nothing
// for a SilentAbort. The message is read as UTF-8.
void ShowErrorBox(WindowDialogs& dialogs, const std::exception& error);
