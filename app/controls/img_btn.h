#pragma once

#include "app/controls/pointer_tracker.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QEnterEvent;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// A picture that behaves as a button by swapping among three pictures: Pic normally, PicUp
// while the pointer is over it, PicDown while the left mouse button is held on it with the
// pointer over it. The window's minimise and close buttons are of this kind.
//
// It draws nothing but its current picture, unscaled at its top-left corner and clipped to its
// bounds; wherever the picture does not reach, the parent shows through. It takes no focus unless
// given a focus policy; then, while it has the focus, it shows a dotted line around its picture
// (DrawFocusLook), and Space, Return and Enter click it.
//
// The click is the ordinary one: a left press and a left release both on the control. It is
// reported by clicked() while the pressed picture is still shown; the hover picture returns
// after the click handler has run.
class TImgBtn : public QWidget {
    Q_OBJECT

public:
    // Called with the event that caused the notification: the press or release for OnMouseDown
    // and OnMouseUp; for OnMouseEnter and OnMouseLeave Qt's enter or leave event, or the mouse
    // move that carried the pointer across the control's edge while a button was held.
    using TOnMouseEvent = std::function<void(const QEvent& message)>;

    explicit TImgBtn(QWidget* parent = nullptr);

    // The picture shown now.
    const QImage& Picture() const;

    // Shows a copy of the picture at once and keeps a copy as the normal picture.
    void SetPic(const QImage& picture);
    const QImage& Pic() const;
    // The hover and pressed pictures; setting them does not change what is shown.
    void SetPicUp(const QImage& picture);
    const QImage& PicUp() const;
    void SetPicDown(const QImage& picture);
    const QImage& PicDown() const;

    // When false the control ignores the pointer and the button and stays a plain picture;
    // clicks are still reported. True at creation.
    void SetSupported(bool supported);
    bool Supported() const;

    // Each is called last, after the control has changed its flags and picture, and only
    // while Supported is true. OnMouseDown and OnMouseUp concern the left button only.
    TOnMouseEvent OnMouseDown;
    TOnMouseEvent OnMouseEnter;
    TOnMouseEvent OnMouseLeave;
    TOnMouseEvent OnMouseUp;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PointerCrossed(bool inside, const QEvent& message);
    void PointerEntered(const QEvent& message);
    void PointerLeft(const QEvent& message);
    void Show(const QImage& picture);

    QImage picture_;
    QImage pic_;
    QImage picDown_;
    QImage picUp_;
    bool supported_ = true;
    bool FMouseInside = false;
    bool FButtonDown = false;
    // Where the pointer really is, whatever Supported says.
    PointerTracker pointer_;
    // A left press (not the second press of a double click) is waiting for its release.
    bool clickPending_ = false;
};
