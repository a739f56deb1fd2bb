#include "app/window_arguments.h"

WindowArguments ParseWindowArguments(const QStringList& arguments)
{
    WindowArguments parsed;
    bool help = false;
    bool version = false;
    bool onlyPathsFollow = false;
    for (const QString& argument : arguments) {
        if (onlyPathsFollow || !argument.startsWith(u'-') || argument == QStringLiteral("-")) {
            parsed.paths.append(argument);
        } else if (argument == QStringLiteral("--")) {
            onlyPathsFollow = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            help = true;
        } else if (argument == QStringLiteral("--version")) {
            version = true;
        } else {
            parsed.unknownOptions.append(argument);
        }
    }
    if (help) {
        parsed.action = WindowArguments::Action::ShowHelp;
    } else if (version) {
        parsed.action = WindowArguments::Action::ShowVersion;
    }
    return parsed;
}

QString WindowUsage()
{
    return QStringLiteral(
        "Usage: tamboril [PICTURE|FOLDER...]\n"
        "Opens Tamboril's window, which turns pictures into an EPUB book, one picture per page.\n"
        "The pictures given are its first pages, in the order given.\n"
        "\n"
        "  --help         show this text\n"
        "  --version      show the program's version\n"
        "\n"
        "Pictures: JPEG, PNG, GIF, HEIC/HEIF, AVIF, WebP, TIFF and BMP, known by their content.\n"
        "A FOLDER adds the pictures in it (.jpg .jpeg .jpe .jfif .png .gif .heic .heif .hif .avif .webp\n"
        ".tif .tiff .bmp, in any case), in natural order (page2 before page10).\n"
        "tamboril-cli makes a book without the window.\n");
}
