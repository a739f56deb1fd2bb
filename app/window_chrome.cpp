#include "app/window_chrome.h"

#include "app/controls/img_btn.h"

#include <QPainter>

#include <algorithm>

QBitmap RoundedWindowMask(QSize size)
{
    constexpr qreal kCornerRadius = 5;
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    // Without antialiasing, a pixel belongs to the window when its centre lies inside the shape.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), kCornerRadius, kCornerRadius);
    return mask;
}

QPoint WindowPosition(QSize size, QPoint stored, const QList<QRect>& availableAreas, const QRect& areaUnderPointer)
{
    const QRect there(stored, size);
    for (const QRect& area : availableAreas) {
        if (area.contains(there)) {
            return stored;
        }
    }
    const auto centred = [](int start, int room, int length) { return start + std::max(room - length, 0) / 2; };
    return {centred(areaUnderPointer.left(), areaUnderPointer.width(), size.width()),
            centred(areaUnderPointer.top(), areaUnderPointer.height(), size.height())};
}

bool StartsWindowDrag(Qt::MouseButton button, Qt::WindowStates windowStates)
{
    return button == Qt::LeftButton && !windowStates.testFlag(Qt::WindowMaximized);
}

void SliceButtonStates(TImgBtn& button, const QImage& sprite, int width, int height, int x, int y)
{
    button.SetPic(sprite.copy(x, y, width, height));
    button.SetPicUp(sprite.copy(x, y + height, width, height));
    button.SetPicDown(sprite.copy(x, y + 2 * height, width, height));
}
