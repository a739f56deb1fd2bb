#include "pictures/picture_check.h"

#include "pictures/jpeg_decoder.h"
#include "pictures/picture_formats.h"

void CheckPictureWhole(const PictureSource& source, const PictureInfo& info)
{
    if (!info.CarriedAsIs()) {
        return;
    }
    switch (info.kind) {
    case PictureKind::Jpeg:
        try {
            JpegReader::OpenSource(source).ReadWhole();
        } catch (const JpegError& error) {
            throw InWords(error);
        }
        return;
    case PictureKind::Png:
        CheckPngWhole(source);
        return;
    case PictureKind::Gif:
        CheckGifWhole(source);
        return;
    default:
        return;
    }
}
