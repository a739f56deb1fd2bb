#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// The file-open dialog for pictures: the page list's Add command takes several pictures from it, the
// cover chooser one.

enum class PictureCount { One, Several };

// The dialog's two filters: "Pictures", showing the files named as pictures of every kind the book takes
// (PictureNamePatterns) in any case (IMG_0001.JPG as well as photo.jpeg), since name filters may compare case;
// and "All files", for pictures named otherwise, which their content tells apart.
QStringList PictureNameFilters();

// Sets the dialog up for opening pictures: the filters, with only their names shown, "Pictures" first; one
// picture or several; no folder and no title of its own. The dialog can be resized.
void SetUpPictureDialog(QFileDialog& dialog, PictureCount count);

// Runs the dialog modally over `owner` and returns the chosen files' full paths in the order the
// dialog gives them; nothing when it was cancelled.
QStringList RunPictureDialog(QWidget* owner, PictureCount count);
