#pragma once

#include "pictures/picture_files.h"

#include <QList>
#include <QUrl>

// What a drop from the file manager adds, in the order dropped: each local file, whatever its name (the page
// list checks it by its content), and in the place of each local folder its pictures (PicturesInFolder). The
// pictures of those folders whose names are not UTF-8 are listed apart, as PicturesInFolder lists them.
// Everything else (addresses of the web, text) is passed over.
FolderPictures PicturesAmong(const QList<QUrl>& urls);

// Where the current row is once the rows at `removed` (ascending positions) are gone, as the list
// itself moves it when rows are deleted: the current row where it now stands when it stays; else the
// nearest row kept above it, or below it when none is above; -1 when there is no current row or no
// row is left.
int CurrentRowAfterRemoval(const QList<int>& removed, int currentRow, int rowCount);
