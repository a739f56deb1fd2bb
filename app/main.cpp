// Tamboril: turns an ordered set of JPEG pictures into an EPUB 2 book.

#include "app/error_box.h"
#include "app/form1.h"
#include "app/window_dialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The desktop finds the program's menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tamboril"));
    try {
        TForm1 Form1(QCoreApplication::applicationDirPath());
        Form1.show();
        // "tamboril a.jpg b.jpg", as the desktop's "Open With" starts it: those pictures are the pages.
        Form1.AddPicturesFromArguments(QCoreApplication::arguments().mid(1));
        return QApplication::exec();
    } catch (const UserError& error) {
        // The window could not be built: there is nothing to run.
        QtWindowDialogs dialogs(nullptr);
        ShowErrorBox(dialogs, error);
        return 1;
    }
}
