#pragma once

#include <QLineEdit>
#include <QRect>
#include <QSize>

class QLabel;
class QMoveEvent;
class QResizeEvent;

// Where the label of a labelled edit stands: its right edge `spacing` pixels left of the edit,
// centred on the edit's height (an odd spare pixel goes below the label).
QRect LabelRectLeftOf(const QRect& edit, QSize label, int spacing);

// A single-line edit with a label to its left. The label is a sibling of the edit in the same
// parent, sized to its text, and follows the edit wherever it is placed.
class LabeledEdit : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kLabelSpacing = 3;

    // The label is created in `parent` too.
    explicit LabeledEdit(QWidget* parent);

    QLabel& EditLabel() const;
    void SetLabelText(const QString& text);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceLabel();

    QLabel* label_;
};
