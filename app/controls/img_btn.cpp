#include "app/controls/img_btn.h"

#include "app/controls/focus_look.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TImgBtn::TImgBtn(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

const QImage& TImgBtn::Picture() const
{
    return picture_;
}

void TImgBtn::SetPic(const QImage& picture)
{
    pic_ = picture;
    Show(picture);
}

const QImage& TImgBtn::Pic() const
{
    return pic_;
}

void TImgBtn::SetPicUp(const QImage& picture)
{
    picUp_ = picture;
}

const QImage& TImgBtn::PicUp() const
{
    return picUp_;
}

void TImgBtn::SetPicDown(const QImage& picture)
{
    picDown_ = picture;
}

const QImage& TImgBtn::PicDown() const
{
    return picDown_;
}

void TImgBtn::SetSupported(bool supported)
{
    supported_ = supported;
}

bool TImgBtn::Supported() const
{
    return supported_;
}

void TImgBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    if (hasFocus()) {
        DrawFocusLook(painter, rect().intersected(picture_.rect()));
    }
}

void TImgBtn::keyPressEvent(QKeyEvent* event)
{
    if (!PressesAButton(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    emit clicked();
}

void TImgBtn::enterEvent(QEnterEvent* event)
{
    PointerCrossed(true, *event);
}

void TImgBtn::leaveEvent(QEvent* event)
{
    PointerCrossed(false, *event);
}

void TImgBtn::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    clickPending_ = true;
    if (!supported_) {
        return;
    }
    FButtonDown = true;
    if (FMouseInside) {
        Show(picDown_);
    }
    if (OnMouseDown) {
        OnMouseDown(*event);
    }
}

void TImgBtn::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    PointerCrossed(rect().contains(event->position().toPoint()), *event);
}

void TImgBtn::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The click comes first, so that its handler runs while the pressed picture is shown.
    const bool click = clickPending_ && rect().contains(event->position().toPoint());
    clickPending_ = false;
    if (click) {
        emit clicked();
    }
    if (!supported_) {
        return;
    }
    FButtonDown = false;
    if (FMouseInside) {
        Show(picUp_);
    }
    if (OnMouseUp) {
        OnMouseUp(*event);
    }
}

// The second press of a double click is not a press of the button: no pressed picture and no
// click. Its release is still a release (see mouseReleaseEvent).
void TImgBtn::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void TImgBtn::PointerCrossed(bool inside, const QEvent& message)
{
    pointer_.Report(inside, [&](bool entered) { entered ? PointerEntered(message) : PointerLeft(message); });
}

void TImgBtn::PointerEntered(const QEvent& message)
{
    if (!supported_) {
        return;
    }
    FMouseInside = true;
    Show(FButtonDown ? picDown_ : picUp_);
    if (OnMouseEnter) {
        OnMouseEnter(message);
    }
}

void TImgBtn::PointerLeft(const QEvent& message)
{
    if (!supported_) {
        return;
    }
    FMouseInside = false;
    Show(pic_);
    if (OnMouseLeave) {
        OnMouseLeave(message);
    }
}

void TImgBtn::Show(const QImage& picture)
{
    picture_ = picture;
    update();
}
