#pragma once

#include "app/controls/pointer_tracker.h"
#include "common/user_error.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QEnterEvent;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// How the frame of an image push button is drawn.
enum class TPNGButtonStyle : std::uint8_t {
    pbsDefault,  // a standard push-button face, raised or sunken
    pbsFlat,     // a one-pixel raised outline while hovered or held, sunken while pressed
    pbsNoFrame,
};

// Where the image stands relative to the caption.
enum class TPNGButtonLayout : std::uint8_t {
    pbsImageAbove,
    pbsImageBellow,  // the image below the caption
    pbsImageLeft,
    pbsImageRight,
};

enum class TPNGButtonState : std::uint8_t {
    pbsUp,
    pbsDown,  // the left button went down on the button and has not been released
    pbsDisabled,
};

// Top-left corners of the image and of the caption inside an image push button.
struct TPNGButtonPlacement {
    QPoint image;
    QPoint caption;
};

// Places the image and the caption of a button of the given size. captionSize is the size of
// the caption's text, or nullopt for a button without caption. Image and caption are centred
// together, 4 pixels apart above each other or 5 pixels beside each other; without a caption
// the image is centred. A pressed button moves its content 2 pixels down, and in the above and
// below layouts 2 pixels right as well.
TPNGButtonPlacement PlacePNGButtonContent(QSize buttonSize, QSize imageSize, std::optional<QSize> captionSize,
                                          TPNGButtonLayout layout, bool pressed);

// A push button drawn entirely by itself: a picture with alpha channel and an optional caption,
// with a hover look, a pressed look and a faded disabled look; wherever it draws nothing, the parent
// shows through. It takes no focus unless given a focus policy; then, while it has the focus, it
// shows a dotted line inside its edge (DrawFocusLook), and Space, Return and Enter click it.
//
// The caption is drawn in the widget's font and in FontColor, or while disabled in the palette's
// Disabled ButtonText. The frames are drawn in the palette's Light, Midlight, Dark, Shadow and
// Button colours of the Active group, whatever the button's state.
//
// Errors: MakeDisabledImage needs a picture. SetImageNormal with an empty picture raises
// ImageHeaderError to its caller. Disabling a button that has no ImageNormal raises the same
// error inside Qt's event handling, where it must not escape; it is handed to OnError instead
// (without OnError it is only logged), and the state stays as it was.
class TPNGButton : public QWidget {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TPNGButton& sender)>;
    using TErrorEvent = std::function<void(const UserError& error)>;

    // 23 x 23 pixels, pbsDefault, pbsImageAbove, no caption, no pictures, pbsUp.
    explicit TPNGButton(QWidget* parent = nullptr);

    void SetButtonStyle(TPNGButtonStyle style);
    TPNGButtonStyle ButtonStyle() const;
    void SetButtonLayout(TPNGButtonLayout layout);
    TPNGButtonLayout ButtonLayout() const;
    void SetCaption(const QString& caption);
    const QString& Caption() const;
    // The caption's colour while the button is not disabled; the palette's Active ButtonText
    // until set.
    void SetFontColor(const QColor& color);
    QColor FontColor() const;

    // Stores a copy and rebuilds the faded picture from it; see the class comment for an empty one.
    void SetImageNormal(const QImage& image);
    const QImage& ImageNormal() const;
    void SetImageDown(const QImage& image);
    const QImage& ImageDown() const;
    void SetImageOver(const QImage& image);
    const QImage& ImageOver() const;

    TPNGButtonState State() const;
    bool MouseOver() const;
    // Drawn pressed: held down with the pointer over it.
    bool Pressed() const;

    // Called when the pointer enters, and leaves, an enabled button, before it changes its look.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TErrorEvent OnError;

signals:
    // A left press and a left release both on the button. The button is drawn up again before
    // the handlers run.
    void clicked();
    // The second press of a double click; it shows the pressed look but its release is no click.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The picture the next paint draws.
    const QImage& ChosenImage() const;
    void MouseDown(Qt::MouseButton button);
    void Click();
    void PointerCrossed(bool inside);
    void PointerEntered();
    void PointerLeft();
    void EnabledChanged();
    void SetState(TPNGButtonState value);
    // Draws the frame of the button style and returns the rectangle the caption is clipped to.
    QRect DrawFrame(QPainter& painter, bool pressed) const;

    TPNGButtonStyle buttonStyle_ = TPNGButtonStyle::pbsDefault;
    bool FMouseOver = false;
    QString caption_;
    QColor fontColor_;
    TPNGButtonLayout buttonLayout_ = TPNGButtonLayout::pbsImageAbove;
    TPNGButtonState FState = TPNGButtonState::pbsUp;
    QImage imageDown_;
    QImage imageNormal_;
    QImage FImageDisabled;
    QImage imageOver_;
    // Where the pointer really is, whether or not the button is enabled.
    PointerTracker pointer_;
    // A left press (not the second press of a double click) is waiting for its release.
    bool clickPending_ = false;
};
