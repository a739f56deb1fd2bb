#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// The file-open dialog for JPEG pictures: the page list's Add command takes several pictures from it,
// the cover chooser one.

enum class PictureCount { One, Several };

// The dialog's one filter: "JPG, JPEG Files", showing the files whose names end in .jpg or .jpeg in
// any case (IMG_0001.JPG as well as photo.jpeg), since name filters may compare case.
QString PictureNameFilter();

// Sets the dialog up for opening pictures: the filter, with only its name shown; one picture or
// several; no folder and no title of its own. The dialog can be resized.
void SetUpPictureDialog(QFileDialog& dialog, PictureCount count);

// Runs the dialog modally over `owner` and returns the chosen files' full paths in the order the
// dialog gives them; nothing when it was cancelled.
QStringList RunPictureDialog(QWidget* owner, PictureCount count);
