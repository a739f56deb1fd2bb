#pragma once

#include <QColor>
#include <QWidget>

class QPaintEvent;

// A plain container: filled with its colour, optionally framed by a raised bevel of one pixel
// (light on the top and left edges, dark on the bottom and right), inside which its children are
// laid out.
class TPanel : public QWidget {
    Q_OBJECT

public:
    // Filled with the palette's button colour, no bevel.
    explicit TPanel(QWidget* parent = nullptr);

    void SetColor(const QColor& color);
    QColor Color() const;

    // A raised bevel of one pixel; the contents rectangle lies inside it.
    void SetRaisedBevel(bool raised);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    bool raisedBevel_ = false;
};
