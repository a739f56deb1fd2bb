#pragma once

#include <QUrl>

// Opens `address` (a folder, a web address) with the desktop's opener, xdg-open, and waits for its verdict with the
// window's events let through: false when there is no opener or it ends with a failure (its exit status, such as
// "no method available"), true when it ends well or is still at work after a few seconds (an opener that runs the
// program it chose until that program ends has started it).
bool OpenWithDesktop(const QUrl& address);
