#include "app/window_chrome.h"

#include "app/controls/img_btn.h"

#include <QPainter>

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
