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

// The file dialog of "Open List...": one page list file (BookList), shown among text files. Its full path, or empty
// text when cancelled.
QString ChoosePageListToOpen(QWidget* owner);

// The file dialog of "Save List...", suggesting `suggestedPath`; a name without an extension gets ".txt". The
// chosen path, or empty text when cancelled. The dialog asks before an existing file is replaced.
QString ChoosePageListToSave(QWidget* owner, const QString& suggestedPath);
