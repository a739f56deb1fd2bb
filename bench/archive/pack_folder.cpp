#include "builder/staging/staged_book.h"
#include "builder/workflow/book_formats.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QStringList>

#include <cstdio>

namespace {

// The files of the staged book's content folder that are pictures, by their content.
QSet<QString> PicturesIn(const QString& contentFolder)
{
    QSet<QString> pictures;
    QDirIterator files(contentFolder, QDir::Files);
    while (files.hasNext()) {
        const QString path = files.next();
        try {
            InspectPictureFile(path);
            pictures.insert(files.fileName());
        } catch (const PictureError&) {
            // A document.
        }
    }
    return pictures;
}

}  // namespace

// Packs a staged book into a book archive as a conversion does, and nothing else:
//
//   pack_folder [--layout KIND] FOLDER ARCHIVE
//
// KIND is a kind of book, as tamboril-cli's --layout names it (default: flowing); the fixed book stores its
// pictures. Exit status 0 when the archive was written; otherwise the reason goes to standard error.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const BookFormat* format = &DefaultBookFormat();
    if (arguments.size() == 4 && arguments.first() == QLatin1String("--layout")) {
        format = BookFormatNamed(arguments[1]);
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 2 || format == nullptr) {
        std::fprintf(stderr, "usage: pack_folder [--layout KIND] FOLDER ARCHIVE\n");
        return 2;
    }
    QString reason;
    const QSet<QString> pictures = PicturesIn(arguments[0] + u'/' + format->ContentFolder());
    if (!PackStagedBook(arguments[1], arguments[0], *format, pictures, true, {}, &reason)) {
        std::fprintf(stderr, "pack_folder: %s\n", qPrintable(reason));
        return 1;
    }
    return 0;
}
