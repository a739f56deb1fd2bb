#pragma once

#include <QString>
#include <QStringList>

// What the window's command line asks for: "tamboril [--help] [--version] [PICTURE|FOLDER...]", as a
// person types it or as the desktop's "Open With" starts the program.
struct WindowArguments {
    enum class Action { OpenWindow, ShowHelp, ShowVersion };
    Action action = Action::OpenWindow;
    // The arguments that are no options, in their order: pictures and folders to start with. After
    // "--" every argument is one, even one that begins with "-".
    QStringList paths;
    // The options that are not understood, as given.
    QStringList unknownOptions;
};

// Reads the arguments (without the program's name). --help (or -h) wins over --version, wherever
// each stands; both stop the program before it opens its window.
WindowArguments ParseWindowArguments(const QStringList& arguments);

// The text --help prints.
QString WindowUsage();
