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

void BannerToggle::SetChoices(const QStringList& captions)
{
    captions_ = captions;
    choice_ = 0;
    update();
}

QString BannerToggle::Caption() const
{
    return captions_.value(choice_);
}

int BannerToggle::Choice() const
{
    return choice_;
}

void BannerToggle::SetChoice(int choice)
{
    if (choice_ != choice && choice >= 0 && choice < captions_.size()) {
        choice_ = choice;
        update();
    }
}

QSize BannerToggle::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString& caption : captions_) {
        width = std::max(width, metrics.horizontalAdvance(caption));
    }
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
    if (!captions_.isEmpty()) {
        SetChoice((choice_ + 1) % static_cast<int>(captions_.size()));
        emit turned(choice_);
    }
}

void BannerToggle::PointerCrossed(bool inside)
{
    pointer_.Report(inside, [this](bool now) {
        mouseOver_ = now;
        update();
    });
}
