#pragma once

#include "archive/file_attributes.h"

#include <QByteArray>
#include <QString>

#include <vector>

// A depth-first walk of a folder in the order in which the directory listing yields the names; nothing is
// sorted. When the listing yields a folder, the walk reports it and goes on inside it, so a subfolder's content
// comes right where the subfolder stands in its parent's listing. Names whose attributes hold a hidden,
// system or read-only bit missing from the attribute mask are passed over, and so is everything below such a
// folder. A folder that cannot be listed, or a listed name that cannot be examined, is passed over too, unless the
// walk is told to fail on them.
class TDirSearch {
public:
    // One reported path: a folder as its path followed by "/", or a file whose name matches the mask.
    struct Found {
        QString path;
        FileStatus status;
    };

    // `folder` ends with "/". With `failOnUnreadable`, a folder that cannot be listed (the starting one included)
    // or a name that cannot be examined raises EFReadError with the system's reason.
    TDirSearch(const QString& folder, const QString& mask, quint32 attributeMask, bool recurse,
               bool failOnUnreadable = false);

    // The next path of the walk into `found`; false when the walk is over.
    bool Next(Found* found);

private:
    struct Level {
        QString folder;
        std::vector<QByteArray> names;
        size_t next = 0;
    };

    void Enter(const QString& folder);
    bool IsPassedOver(quint32 attributes) const;
    // The names of a folder in listing order, without "." and "..".
    std::vector<QByteArray> ListNames(const QString& folder) const;

    QString mask_;
    quint32 attributeMask_;
    bool recurse_;
    bool failOnUnreadable_;
    std::vector<Level> levels_;
};
