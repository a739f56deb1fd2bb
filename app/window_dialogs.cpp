#include "app/window_dialogs.h"

#include "app/choosers.h"
#include "app/desktop_opener.h"
#include "app/file_manager.h"
#include "app/normal_cursor.h"
#include "pages/picture_file_dialog.h"

#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

// Runs the box modally under the normal pointer and returns the button that closed it.
QAbstractButton* Run(QMessageBox& box)
{
    const NormalCursor cursor;
    box.exec();
    return box.clickedButton();
}

void ShowOkBox(QWidget* owner, QMessageBox::Icon icon, const QString& text, const QString& caption)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    Run(box);
}

}  // namespace

QtWindowDialogs::QtWindowDialogs(QWidget* owner) : owner_(owner) {}

void QtWindowDialogs::ShowPlainMessage(const QString& text, const QString& caption)
{
    ShowOkBox(owner_, QMessageBox::NoIcon, text, caption);
}

bool QtWindowDialogs::AskInformationYesNo(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, owner_);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    return Run(box) == yes;
}

void QtWindowDialogs::ShowError(const QString& text, const QString& caption)
{
    ShowOkBox(owner_, QMessageBox::Critical, text, caption);
}

bool QtWindowDialogs::OpenAddress(const QUrl& address)
{
    return OpenWithDesktop(address);
}

bool QtWindowDialogs::ShowFileInFolder(const QString& filePath)
{
    return ShowFileInFileManager(filePath);
}

QStringList QtWindowDialogs::ChoosePagePictures()
{
    return RunPictureDialog(owner_, PictureCount::Several);
}

QString QtWindowDialogs::ChooseCoverPicture()
{
    return ::ChooseCoverPicture(owner_);
}

QString QtWindowDialogs::BrowseForFolder(const QString& initialFolder)
{
    return ::BrowseForFolder(initialFolder);
}

QString QtWindowDialogs::ChooseListToOpen()
{
    return ChoosePageListToOpen(owner_);
}

QString QtWindowDialogs::ChooseListToSave(const QString& suggestedPath)
{
    return ChoosePageListToSave(owner_, suggestedPath);
}
