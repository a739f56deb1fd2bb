#include "pages/picture_file_dialog.h"

#include "pictures/picture_kind.h"

#include <QFileDialog>

namespace {

// A name pattern that matches whatever the case of the name's letters: "*.jpg" gives "*.[jJ][pP][gG]", since
// the dialog may compare names with their case.
QString AnyCase(const QString& pattern)
{
    QString anyCase;
    for (const QChar c : pattern) {
        anyCase += c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
    }
    return anyCase;
}

}  // namespace

QStringList PictureNameFilters()
{
    QStringList patterns;
    for (const QString& pattern : PictureNamePatterns()) {
        patterns << AnyCase(pattern);
    }
    return {QStringLiteral("Pictures (%1)").arg(patterns.join(u' ')), QStringLiteral("All files (*)")};
}

void SetUpPictureDialog(QFileDialog& dialog, PictureCount count)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Several pictures must exist to be chosen together; a single one may be typed freely.
    dialog.setFileMode(count == PictureCount::Several ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    dialog.setNameFilters(PictureNameFilters());
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
