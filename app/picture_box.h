#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// A picture on the window: draws its picture and nothing else, so its parent shows through
// wherever the picture does not reach. It takes no focus.
//
// Stretched, the picture is drawn smoothly scaled to the whole control, whatever its proportions;
// otherwise unscaled at the top-left corner and clipped. With auto-size on, the control takes the
// size of its picture whenever the picture or the setting changes.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Keeps a copy of the picture and shows it.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const;

    void SetStretch(bool stretch);
    void SetAutoSize(bool autoSize);

signals:
    // A mouse button went down on the picture, with the keys held and the position in the control.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FitToPicture();

    QImage picture_;
    bool stretch_ = false;
    bool autoSize_ = false;
};
