#pragma once

#include "archive/file_attributes.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A depth-first walk of a folder in the order in which the directory listing yields the names; nothing is
// sorted. When the listing yields a folder, the walk reports it and goes on inside it, so a subfolder's content
// comes right where the subfolder stands in its parent's listing. Hidden and system files and folders are passed
// over, and so is everything below such a folder. A folder that cannot be listed (the starting one included) or a
// listed name that cannot be examined raises EFReadError with the system's reason: a walk never leaves out in
// silence what it cannot see.
class TDirSearch {
public:
    // One reported path: a folder as its path followed by "/", or a file whose name matches the mask.
    struct Found {
        QString path;
        FileStatus status;
    };

    // `folder` ends with "/".
    TDirSearch(const QString& folder, const QString& mask);

    // The next path of the walk into `found`; false when the walk is over.
    bool Next(Found* found);

private:
    struct Level {
        QString folder;
        std::vector<QByteArray> names;
        size_t next = 0;
    };

    void Enter(const QString& folder);
    // The names of a folder in listing order, without "." and "..".
    std::vector<QByteArray> ListNames(const QString& folder) const;

    QString mask_;
    std::vector<Level> levels_;
};
