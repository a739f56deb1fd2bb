#include "app/panel.h"

#include <QPainter>

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

QColor TPanel::Color() const
{
    return color_.isValid() ? color_ : palette().color(QPalette::Button);
}

void TPanel::SetRaisedBevel(bool raised)
{
    raisedBevel_ = raised;
    const int inset = raised ? 1 : 0;
    setContentsMargins(inset, inset, inset, inset);
    update();
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Color());
    if (!raisedBevel_) {
        return;
    }
    const QRect r = rect();
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}
