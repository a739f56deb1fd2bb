#include "app/window_dialogs.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

// Gives the pointer its normal shape for as long as it lives, over whatever cursor the
// application shows, and hands the earlier cursor back at the end.
class NormalCursor {
public:
    NormalCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QGuiApplication::restoreOverrideCursor(); }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;
};

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

QtWindowDialogs::QtWindowDialogs(QWidget* owner)
    : owner_(owner)
{
}

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

void QtWindowDialogs::OpenAddress(const QUrl& address)
{
    QDesktopServices::openUrl(address);
}
