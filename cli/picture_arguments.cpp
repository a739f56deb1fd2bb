#include "cli/picture_arguments.h"

#include "pages/picture_files.h"

#include <QFileInfo>

QStringList ExpandPictureArguments(const QStringList& arguments)
{
    QStringList pictures;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            pictures += PicturesInFolder(argument).paths;
        } else {
            pictures.append(info.absoluteFilePath());
        }
    }
    return pictures;
}
