// Tamboril: turns an ordered set of pictures into an EPUB book.

#include "app/error_box.h"
#include "app/form1.h"
#include "app/window_arguments.h"
#include "app/window_dialogs.h"
#include "common/product.h"

#include <QApplication>
#include <QTextStream>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// The arguments as the terminal gave them, before the window system's own options are taken out.
QStringList RawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version answer on the terminal, also where no window can be opened.
    switch (ParseWindowArguments(RawArguments(argc, argv)).action) {
    case WindowArguments::Action::ShowHelp:
        QTextStream(stdout) << WindowUsage() << Qt::flush;
        return kExitSuccess;
    case WindowArguments::Action::ShowVersion:
        QTextStream(stdout) << kProductTitle << Qt::endl;
        return kExitSuccess;
    case WindowArguments::Action::OpenWindow:
        break;
    }
    QApplication application(argc, argv);
    // The desktop finds the program's menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tamboril"));
    try {
        TForm1 Form1(QCoreApplication::applicationDirPath());
        Form1.show();
        // The work of a window that crashed, or closed with pages, before anything else comes in.
        Form1.OfferKeptLists();
        // "tamboril a.jpg b.jpg", as the desktop's "Open With" starts it: those pictures are the pages.
        // Qt has taken its own options (-style, -platform, ...) out of these arguments.
        const WindowArguments arguments = ParseWindowArguments(QCoreApplication::arguments().mid(1));
        Form1.AddPicturesFromArguments(arguments.paths, arguments.unknownOptions);
        return QApplication::exec();
    } catch (const UserError& error) {
        // The window could not be built: there is nothing to run.
        QtWindowDialogs dialogs(nullptr);
        ShowErrorBox(dialogs, error);
        return kExitFailure;
    }
}
