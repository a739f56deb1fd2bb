#pragma once

#include "app/controls/pointer_tracker.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QEnterEvent;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// A small switch drawn on the dark banner: it shows the caption of its present choice in white, with a one-pixel
// raised outline while the pointer is over it (as the banner's flat buttons), and a click, or Space, Return or Enter
// while it has the focus, turns it to the next choice (from the last back to the first).
class BannerToggle : public QWidget {
    Q_OBJECT

public:
    explicit BannerToggle(QWidget* parent = nullptr);

    // The captions of the choices, in the order a click goes through them; the first is chosen.
    void SetChoices(const QStringList& captions);
    QString Caption() const;

    // The present choice, counted from 0.
    int Choice() const;
    void SetChoice(int choice);

    QSize sizeHint() const override;

signals:
    // The person turned the switch to `choice` (SetChoice says nothing).
    void turned(int choice);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Turn();
    void PointerCrossed(bool inside);

    QStringList captions_;
    int choice_ = 0;
    bool mouseOver_ = false;
    PointerTracker pointer_;
};
