#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

// A top-level widget shown on the offscreen window system, to host the controls under test.
class TestHost : public QWidget {
public:
    explicit TestHost(QSize size);
};

// Mouse input sent to a host's window the way the window system sends it, so that Qt does its
// own hit testing, implicit grab, enter and leave dispatch and double-click detection. Positions
// are given in the coordinates of the control aimed at and may lie outside it.
class PointerDriver {
public:
    explicit PointerDriver(TestHost& host);

    void Move(const QWidget& control, QPoint pos);
    void Press(const QWidget& control, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
    // A press soon after the last release at the same place: the second press of a double click.
    void PressAgain(const QWidget& control, QPoint pos);
    void Release(const QWidget& control, QPoint pos, Qt::MouseButton button = Qt::LeftButton);

private:
    void Send(const QWidget& control, QPoint pos, QEvent::Type type, Qt::MouseButton button, int delay);

    TestHost& host_;
    Qt::MouseButtons buttons_;
};

// A picture of one colour.
QImage SolidImage(QSize size, QColor color, QImage::Format format = QImage::Format_ARGB32);

// The control drawn over a background of one colour, as it would be drawn over its parent.
QImage RenderOver(QWidget& control, QColor background);

// The smallest rectangle holding every pixel of the colour; empty when there is none.
QRect BoundsOf(const QImage& image, QColor color);

// How many pixels have the colour.
int CountOf(const QImage& image, QColor color);
