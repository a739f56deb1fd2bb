#include "app/choosers.h"

#include "pages/picture_file_dialog.h"

#include <QApplication>
#include <QFileDialog>

QString ChooseCoverPicture(QWidget* owner)
{
    return RunPictureDialog(owner, PictureCount::One).value(0);
}

QString BrowseForFolder(const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), QStringLiteral("Please Choose a Folder"),
                                             initialFolder, QFileDialog::ShowDirsOnly);
}
