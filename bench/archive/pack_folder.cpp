#include "archive/zip_folder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// Packs a staging tree into a book archive as a conversion does, and nothing else:
//
//   pack_folder [--store-pictures] FOLDER ARCHIVE
//
// With --store-pictures the pictures are stored as they are, as in a book of fixed pages. Exit status 0 when the
// archive was written; otherwise the reason goes to standard error.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool storePictures = !arguments.isEmpty() && arguments.first() == QLatin1String("--store-pictures");
    if (storePictures) {
        arguments.removeFirst();
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: pack_folder [--store-pictures] FOLDER ARCHIVE\n");
        return 2;
    }
    QString reason;
    const PicturePacking pictures = storePictures ? PicturePacking::Store : PicturePacking::Deflate;
    if (!PackBook(arguments[1], arguments[0], true, pictures, {}, &reason)) {
        std::fprintf(stderr, "pack_folder: %s\n", qPrintable(reason));
        return 1;
    }
    return 0;
}
