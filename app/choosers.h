#pragma once

#include <QString>

class QWidget;

// The two choosers beside the cover and output-folder fields.

// The cover chooser's file dialog: one picture of any kind the book takes. Its full path, or empty text when cancelled.
QString ChooseCoverPicture(QWidget* owner);

// The folder browser titled "Please Choose a Folder", over the active window, starting at
// `initialFolder` (where the platform likes when it is empty). The chosen folder's path, or empty
// text when cancelled.
QString BrowseForFolder(const QString& initialFolder);
