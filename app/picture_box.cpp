#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetPicture(const QImage& picture)
{
    picture_ = picture;
    FitToPicture();
    update();
}

const QImage& PictureBox::Picture() const
{
    return picture_;
}

void PictureBox::SetStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void PictureBox::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    FitToPicture();
}

void PictureBox::FitToPicture()
{
    if (autoSize_ && !picture_.isNull()) {
        resize(picture_.size());
    }
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    if (stretch_) {
        // Smoothly, so that a preview reduced or enlarged to the box stays a picture and the small
        // text of the placeholder stays readable.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture_);
    } else {
        painter.drawImage(0, 0, picture_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}
