#pragma once

#include <QString>

// Asks the desktop's file manager, through its D-Bus service org.freedesktop.FileManager1, to open the folder of
// `filePath` with that file selected. Waits for the answer with the window's events let through, at most a few
// seconds. False when there is no session bus, no file manager answers, or it answers with an error.
bool ShowFileInFileManager(const QString& filePath);
