#include "app/labeled_edit.h"

#include <QLabel>
#include <QMoveEvent>
#include <QResizeEvent>

QRect LabelRectLeftOf(const QRect& edit, QSize label, int spacing)
{
    return QRect(QPoint(edit.left() - label.width() - spacing, edit.top() + (edit.height() - label.height()) / 2),
                 label);
}

LabeledEdit::LabeledEdit(QWidget* parent) : QLineEdit(parent), label_(new QLabel(parent)) {}

QLabel& LabeledEdit::EditLabel() const
{
    return *label_;
}

void LabeledEdit::SetLabelText(const QString& text)
{
    label_->setText(text);
    label_->adjustSize();
    PlaceLabel();
}

void LabeledEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void LabeledEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}

void LabeledEdit::PlaceLabel()
{
    label_->setGeometry(LabelRectLeftOf(geometry(), label_->size(), kLabelSpacing));
}
