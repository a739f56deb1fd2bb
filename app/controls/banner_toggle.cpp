#include "app/controls/banner_toggle.h"

#include "app/controls/focus_look.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Room between the outline and the caption.
constexpr int kPadding = 4;

}  // namespace

BannerToggle::BannerToggle(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void BannerToggle::SetCaptions(const QString& off, const QString& on)
{
    offCaption_ = off;
    onCaption_ = on;
    update();
}

QString BannerToggle::Caption() const
{
    return on_ ? onCaption_ : offCaption_;
}

bool BannerToggle::IsOn() const
{
    return on_;
}

void BannerToggle::SetOn(bool on)
{
    if (on_ != on) {
        on_ = on;
        update();
    }
}

QSize BannerToggle::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int width = std::max(metrics.horizontalAdvance(offCaption_), metrics.horizontalAdvance(onCaption_));
    return {width + 2 * kPadding, metrics.height() + 2 * kPadding};
}

void BannerToggle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (mouseOver_ && isEnabled()) {
        // The flat buttons' raised outline: light above and left, dark below and right.
        painter.setPen(palette().color(QPalette::Active, QPalette::Light));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    if (hasFocus()) {
        DrawFocusLook(painter, rect().adjusted(1, 1, -1, -1));
    }
    painter.setPen(isEnabled() ? QColor(Qt::white) : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter, Caption());
}

void BannerToggle::enterEvent(QEnterEvent*)
{
    PointerCrossed(true);
}

void BannerToggle::leaveEvent(QEvent*)
{
    PointerCrossed(false);
}

void BannerToggle::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Turn();
    }
}

void BannerToggle::keyPressEvent(QKeyEvent* event)
{
    if (!PressesAButton(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Turn();
}

void BannerToggle::Turn()
{
    SetOn(!on_);
    emit turned(on_);
}

void BannerToggle::PointerCrossed(bool inside)
{
    pointer_.Report(inside, [this](bool now) {
        mouseOver_ = now;
        update();
    });
}
