#pragma once

#include <QCursor>
#include <QGuiApplication>

// Gives the pointer its normal shape for as long as it lives, over whatever cursor the application
// shows (the hourglass of long work), and hands the earlier cursor back at the end. Boxes and
// dialogs shown in the middle of long work hold one, so that the pointer over them looks usable.
class NormalCursor {
public:
    NormalCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QGuiApplication::restoreOverrideCursor(); }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;
};
