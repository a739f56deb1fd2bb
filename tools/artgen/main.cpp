#include "art_set.h"
#include "output.h"
#include "preview.h"

#include <QGuiApplication>
#include <QStringList>

#include <exception>
#include <iostream>

// artgen FOLDER                    draws every picture of the window into FOLDER, with art.qrc
// artgen --preview FOLDER FILE     draws the window from the pictures in FOLDER into FILE (PNG)
int main(int argc, char* argv[])
{
    // Fonts need an application object, but no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    try {
        if (arguments.size() == 2 && !arguments[1].startsWith(QLatin1Char('-'))) {
            WriteArt(DrawAllArt(), arguments[1]);
            return 0;
        }
        if (arguments.size() == 4 && arguments[1] == QLatin1String("--preview")) {
            WritePreview(arguments[2], arguments[3]);
            return 0;
        }
    } catch (const std::exception& error) {
        std::cerr << "artgen: " << error.what() << '\n';
        return 1;
    }
    std::cerr << "usage: artgen FOLDER\n       artgen --preview FOLDER FILE\n";
    return 2;
}
