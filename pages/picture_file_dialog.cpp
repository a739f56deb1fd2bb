#include "pages/picture_file_dialog.h"

#include <QFileDialog>

QString PictureNameFilter()
{
    return QStringLiteral("JPG, JPEG Files (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])");
}

void SetUpPictureDialog(QFileDialog& dialog, PictureCount count)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Several pictures must exist to be chosen together; a single one may be typed freely.
    dialog.setFileMode(count == PictureCount::Several ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    dialog.setNameFilter(PictureNameFilter());
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setSizeGripEnabled(true);
}

QStringList RunPictureDialog(QWidget* owner, PictureCount count)
{
    QFileDialog dialog(owner);
    SetUpPictureDialog(dialog, count);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}
