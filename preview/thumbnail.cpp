#include "preview/thumbnail.h"

#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preview.h"
#include "pictures/picture_source.h"
#include "preview/preview_picture.h"

#include <QFile>

#include <algorithm>

QSize ThumbnailSize(QSize pictureSize, QSize boxSize)
{
    const QSize fitted = pictureSize.scaled(boxSize, Qt::KeepAspectRatio).boundedTo(pictureSize);
    return fitted.expandedTo(QSize(1, 1));
}

QImage MakeThumbnail(const QString& path, QSize boxSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw PictureError(file.errorString());
    }
    const PictureSource source(file.handle(), file.size());
    const PictureInfo info = InspectPictureToShow(source);
    const QSize size = ThumbnailSize(info.DisplayedSize(), boxSize);
    return PreviewImage(DecodeForPreview(source, info, size)).convertToFormat(QImage::Format_RGB32);
}
