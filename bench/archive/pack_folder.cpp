#include "archive/zip_folder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// Packs a staging tree into a book archive as a conversion does, and nothing else:
//
//   pack_folder FOLDER ARCHIVE
//
// Exit status 0 when the archive was written; otherwise the reason goes to standard error.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: pack_folder FOLDER ARCHIVE\n");
        return 2;
    }
    QString reason;
    if (!ZipFolder(arguments[2], arguments[1], {}, &reason)) {
        std::fprintf(stderr, "pack_folder: %s\n", qPrintable(reason));
        return 1;
    }
    return 0;
}
