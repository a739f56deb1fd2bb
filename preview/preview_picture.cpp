#include "preview/preview_picture.h"

#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preview.h"
#include "pictures/picture_source.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

QSize PreviewPictureSize(QSize pictureSize, QSize boxSize)
{
    // The preview box has a size of its own, never none.
    Q_ASSERT(!boxSize.isEmpty());
    if (pictureSize.width() <= boxSize.width() && pictureSize.height() <= boxSize.height()) {
        return pictureSize;
    }
    const int factor = pictureSize.width() >= pictureSize.height() ? pictureSize.width() / boxSize.width()
                                                                   : pictureSize.height() / boxSize.height();
    if (factor == 0) {
        return pictureSize;
    }
    // A picture far wider than high (or the other way round) would lose its short side
    // altogether; one pixel of it is kept so that there is still a picture to show.
    return QSize(std::max(1, pictureSize.width() / factor), std::max(1, pictureSize.height() / factor));
}

std::optional<QImage> MakePreviewPicture(const QString& path, QSize boxSize)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw PictureError(file.errorString());
    }
    const PictureSource source(file.handle(), file.size());
    const PictureInfo info = InspectPictureToShow(source);
    return PreviewImage(DecodeForPreview(source, info, PreviewPictureSize(info.DisplayedSize(), boxSize)));
}

QImage MakePreviewPicture(JpegReader& reader, QSize boxSize)
{
    return PreviewImage(reader.Decode(PreviewPictureSize(reader.Size(), boxSize)));
}

QImage PreviewImage(const PixelBuffer& picture)
{
    Q_ASSERT(picture.channels == 3);
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    if (image.isNull()) {
        throw UserError(QStringLiteral("There is not enough memory to show the picture."));
    }
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.Row(y), picture.RowBytes());
    }
    return image;
}
