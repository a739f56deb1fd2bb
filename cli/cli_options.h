#pragma once

#include "builder/workflow/book_settings.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for.
struct CliOptions {
    enum class Action { Convert, ShowHelp, ShowVersion };
    Action action = Action::Convert;
    BookSettings settings;
    bool outputFolderGiven = false;  // -o was given; otherwise the saved output folder is used
    // --layout and --right-to-left / --left-to-right, when given; otherwise the saved kind of book is used.
    const BookFormat* format = nullptr;
    std::optional<ReadingDirection> direction;
    bool replaceWithoutAsking = false;
    bool quiet = false;            // -q: no progress line
    QString stagingFolder;         // empty: a temporary staging root
    QString listFile;              // --list: a page list file (BookList) whose pictures come first; empty for none
    QStringList pictureArguments;  // files and folders, in argument order
};

// Parses the arguments (without the program name). Nothing when they are not understood; then
// `error` says why.
std::optional<CliOptions> ParseCliOptions(const QStringList& arguments, QString& error);

// The usage text printed by --help and after a bad command line.
QString CliUsage();

// The arguments after the program's name whose bytes are not UTF-8, as the program reads them: with U+FFFD in place
// of what could not be decoded, a name that leads nowhere.
QStringList UndecodableArguments(int argc, char** argv);

// Whether `value`, read from the command line, came from one of `undecodableArguments`: the argument itself, or
// its end, as in "-oVALUE" or "--staging=VALUE".
bool IsUndecodedArgument(const QString& value, const QStringList& undecodableArguments);
