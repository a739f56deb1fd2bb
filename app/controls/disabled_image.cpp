#include "app/controls/disabled_image.h"

#include <QRgba64>

ImageHeaderError::ImageHeaderError()
    : UserError(QStringLiteral("This operation is not valid because the current image contains no valid header."))
{}

namespace {

bool IsPaletteImage(QImage::Format format)
{
    return format == QImage::Format_Indexed8 || format == QImage::Format_Mono || format == QImage::Format_MonoLSB;
}

// More than 8 bits per channel: 16-bit grey and the 64- and 128-bit colour formats.
bool IsDeepImage(const QImage& image)
{
    return image.depth() > 32 || image.format() == QImage::Format_Grayscale16;
}

}  // namespace

void MakeDisabledImage(const QImage& source, QImage& dest)
{
    if (source.isNull()) {
        dest = QImage();
        throw ImageHeaderError();
    }
    if (IsPaletteImage(source.format())) {
        dest = source;
        return;
    }

    // Converting to a straight (not premultiplied) alpha format gives an opaque picture its alpha
    // channel and lets the alpha values change without touching the colours.
    if (IsDeepImage(source)) {
        dest = source.convertToFormat(QImage::Format_RGBA64);
        for (int y = 0; y < dest.height(); ++y) {
            auto* pixel = reinterpret_cast<QRgba64*>(dest.scanLine(y));
            for (int x = 0; x < dest.width(); ++x) {
                pixel[x].setAlpha(pixel[x].alpha() / 3);
            }
        }
    } else {
        dest = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < dest.height(); ++y) {
            auto* pixel = reinterpret_cast<QRgb*>(dest.scanLine(y));
            for (int x = 0; x < dest.width(); ++x) {
                pixel[x] = (pixel[x] & 0x00ffffffu) | (static_cast<QRgb>(qAlpha(pixel[x]) / 3) << 24);
            }
        }
    }
}
