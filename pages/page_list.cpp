#include "pages/page_list.h"

#include <QFileInfo>

#include <algorithm>

FolderPictures PicturesAmong(const QList<QUrl>& urls)
{
    FolderPictures pictures;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir()) {
            const FolderPictures inFolder = PicturesInFolder(path);
            pictures.paths << inFolder.paths;
            pictures.undecodable << inFolder.undecodable;
        } else {
            pictures.paths << path;
        }
    }
    return pictures;
}

int CurrentRowAfterRemoval(const QList<int>& removed, int currentRow, int rowCount)
{
    if (currentRow < 0) {
        return -1;
    }
    const auto firstAtOrBelow = std::lower_bound(removed.begin(), removed.end(), currentRow);
    const auto removedAbove = static_cast<int>(firstAtOrBelow - removed.begin());
    const int keptAbove = currentRow - removedAbove;
    if (firstAtOrBelow == removed.end() || *firstAtOrBelow != currentRow) {
        return keptAbove;
    }
    if (keptAbove > 0) {
        return keptAbove - 1;
    }
    return rowCount > static_cast<int>(removed.size()) ? 0 : -1;
}
