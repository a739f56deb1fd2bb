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

namespace {

const QString kPageListFilter = QStringLiteral("Page lists (*.txt *.list);;All files (*)");

}  // namespace

QString ChoosePageListToOpen(QWidget* owner)
{
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Open List"), QString(), kPageListFilter);
}

QString ChoosePageListToSave(QWidget* owner, const QString& suggestedPath)
{
    QFileDialog dialog(owner, QStringLiteral("Save List"), suggestedPath, kPageListFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}
