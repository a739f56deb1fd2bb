#include "tests/app/controls/control_test_support.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Presses lie more than a double-click interval apart, unless a double click is meant.
constexpr int kApart = 1000;
constexpr int kDoubleClickDelay = 10;
int timestamp = 0;

}  // namespace

TestHost::TestHost(QSize size)
{
    resize(size);
    show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
}

PointerDriver::PointerDriver(TestHost& host) : host_(host)
{
    // Qt drops a move to where the pointer already is, and the last test may have left it
    // where this one starts: two moves make sure the pointer is known to be in this host, in
    // its corner, before the test begins.
    Move(host, QPoint(1, 1));
    Move(host, QPoint(2, 2));
}

void PointerDriver::Move(const QWidget& control, QPoint pos)
{
    Send(control, pos, QEvent::MouseMove, Qt::NoButton, 1);
}

void PointerDriver::Press(const QWidget& control, QPoint pos, Qt::MouseButton button)
{
    buttons_ |= button;
    Send(control, pos, QEvent::MouseButtonPress, button, kApart);
}

void PointerDriver::PressAgain(const QWidget& control, QPoint pos)
{
    buttons_ |= Qt::LeftButton;
    Send(control, pos, QEvent::MouseButtonPress, Qt::LeftButton, kDoubleClickDelay);
}

void PointerDriver::Release(const QWidget& control, QPoint pos, Qt::MouseButton button)
{
    buttons_ &= ~button;
    Send(control, pos, QEvent::MouseButtonRelease, button, 1);
}

void PointerDriver::Send(const QWidget& control, QPoint pos, QEvent::Type type, Qt::MouseButton button, int delay)
{
    timestamp += delay;
    const QPoint local = control.mapTo(&host_, pos);
    qt_handleMouseEvent(host_.windowHandle(), local, host_.mapToGlobal(local), buttons_, button, type, Qt::NoModifier,
                        timestamp);
    QCoreApplication::processEvents();
}

QImage SolidImage(QSize size, QColor color, QImage::Format format)
{
    QImage image(size, format);
    image.fill(color);
    return image;
}

QImage RenderOver(QWidget& control, QColor background)
{
    QImage image(control.size(), QImage::Format_ARGB32);
    image.fill(background);
    control.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QRect BoundsOf(const QImage& image, QColor color)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == color.rgba()) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

int CountOf(const QImage& image, QColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == color.rgba() ? 1 : 0;
        }
    }
    return count;
}
