#include "style.h"

#include <QFontInfo>

#include <algorithm>
#include <stdexcept>

QColor BannerColour(int y)
{
    // A lighter top edge, then an even fall from the banner's blue to the frame's.
    if (y == 0) {
        return kBannerTopEdge;
    }
    const double t = std::clamp(double(y - 1) / double(kBannerHeight - 2), 0.0, 1.0);
    return Mix(kBannerTop, kFrame, t);
}

QColor BottomColour(int y)
{
    const double t = std::clamp(double(y) / double(kBottomHeight - 1), 0.0, 1.0);
    return Mix(kFrame, kFrameDeep, t);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    const auto channel = [t](float from, float to) { return from + (to - from) * float(t); };
    return QColor::fromRgbF(channel(a.redF(), b.redF()), channel(a.greenF(), b.greenF()), channel(a.blueF(), b.blueF()),
                            channel(a.alphaF(), b.alphaF()));
}

QImage RowsPicture(int width, int height, QColor (*colourOfRow)(int))
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const QRgb colour = colourOfRow(y).rgb();
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row, row + width, colour);
    }
    return image;
}

QImage FlatPicture(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QFont ArtFont(const QString& family, int pixelSize, QFont::Weight weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    if (QFontInfo(font).family() != family) {
        throw std::runtime_error("the font family \"" + family.toStdString()
                                 + "\" is missing; install fonts-liberation2");
    }
    return font;
}
