#pragma once

#include "app/controls/pointer_tracker.h"

#include <QString>
#include <QWidget>

class QEnterEvent;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// A small two-way switch drawn on the dark banner: it shows the caption of its present choice in white, with a
// one-pixel raised outline while the pointer is over it (as the banner's flat buttons), and a click, or Space,
// Return or Enter while it has the focus, turns it to the other choice.
class BannerToggle : public QWidget {
    Q_OBJECT

public:
    explicit BannerToggle(QWidget* parent = nullptr);

    // The captions shown for the first choice (off) and the second (on).
    void SetCaptions(const QString& off, const QString& on);
    QString Caption() const;

    bool IsOn() const;
    void SetOn(bool on);

    QSize sizeHint() const override;

signals:
    // The person turned the switch (SetOn says nothing).
    void turned(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Turn();
    void PointerCrossed(bool inside);

    QString offCaption_;
    QString onCaption_;
    bool on_ = false;
    bool mouseOver_ = false;
    PointerTracker pointer_;
};
