#include "app/controls/png_button.h"

#include "app/controls/disabled_image.h"
#include "app/controls/focus_look.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QtDebug>

namespace {

// The frames stand in for Windows' 3-D edges, which are drawn in fixed system colours. Each of
// those colours has a palette role:
//   button highlight (3-D highlight) -> Light       3-D light       -> Midlight
//   button shadow (3-D shadow)       -> Dark        3-D dark shadow -> Shadow
//   button face                      -> Button
// An edge is one line of pixels on some sides of a rectangle, in one colour at the top and left
// and another at the bottom and right.
struct Edge {
    QPalette::ColorRole topLeft;
    QPalette::ColorRole bottomRight;
};

constexpr Edge kRaisedOuter{QPalette::Midlight, QPalette::Shadow};
constexpr Edge kRaisedInner{QPalette::Light, QPalette::Dark};
constexpr Edge kSunkenOuter{QPalette::Dark, QPalette::Light};
constexpr Edge kSunkenInner{QPalette::Shadow, QPalette::Midlight};

enum Side : unsigned {
    kLeft = 1,
    kTop = 2,
    kRight = 4,
    kBottom = 8,
    kTopLeft = kTop | kLeft,
    kBottomRight = kBottom | kRight,
    kAllSides = kTopLeft | kBottomRight,
};

// Draws the edge on the given sides of r. The bottom and right lines are drawn last, so they
// own the top-right and bottom-left corners.
void DrawEdge(QPainter& painter, const QPalette& palette, const QRect& r, Edge edge, unsigned sides)
{
    const QColor topLeft = palette.color(QPalette::Active, edge.topLeft);
    const QColor bottomRight = palette.color(QPalette::Active, edge.bottomRight);
    if (sides & kTop) {
        painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
    }
    if (sides & kLeft) {
        painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
    }
    if (sides & kBottom) {
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
    }
    if (sides & kRight) {
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    }
}

// A standard push-button face over the whole of r, filled with the button colour.
void DrawButtonFace(QPainter& painter, const QPalette& palette, const QRect& r, bool pressed)
{
    const QColor face = palette.color(QPalette::Active, QPalette::Button);
    if (pressed) {
        DrawEdge(painter, palette, r, kSunkenInner, kTopLeft);
        DrawEdge(painter, palette, r, kSunkenOuter, kBottomRight);
        const QRect inner = r.adjusted(1, 1, -1, -1);
        DrawEdge(painter, palette, inner, kSunkenOuter, kTopLeft);
        painter.fillRect(inner.adjusted(1, 1, 0, 0), face);
    } else {
        DrawEdge(painter, palette, r, kRaisedOuter, kBottomRight);
        const QRect smaller = r.adjusted(0, 0, -1, -1);
        DrawEdge(painter, palette, smaller, kRaisedInner, kTopLeft);
        const QRect inner = smaller.adjusted(1, 1, 0, 0);
        DrawEdge(painter, palette, inner, kRaisedInner, kBottomRight);
        painter.fillRect(inner.adjusted(0, 0, -1, -1), face);
    }
}

}  // namespace

TPNGButtonPlacement PlacePNGButtonContent(QSize buttonSize, QSize imageSize, std::optional<QSize> captionSize,
                                          TPNGButtonLayout layout, bool pressed)
{
    const int width = buttonSize.width();
    const int height = buttonSize.height();
    const int imgW = imageSize.width();
    int imgH = imageSize.height();
    int textW = 0;
    int textH = 0;
    // The gaps between image and caption: 4 pixels above or below, counted with the image's
    // height, and 5 pixels beside. Without a caption there is no gap, so that the image of
    // every layout stands centred.
    int gapBeside = 0;
    if (captionSize) {
        textW = captionSize->width();
        textH = captionSize->height();
        imgH += 4;
        gapBeside = 5;
    }
    const int shift = pressed ? 2 : 0;

    // Integer division in C++ rounds toward zero, as the halving here must.
    int imgX = (width - imgW) / 2 + shift;
    int textX = (width - textW) / 2 + shift;
    int textY = (height - textH) / 2;
    int imgY = (height - imgH) / 2;
    switch (layout) {
    case TPNGButtonLayout::pbsImageAbove:
        imgY = (height - imgH - textH) / 2;
        textY = imgY + imgH;
        break;
    case TPNGButtonLayout::pbsImageBellow:
        textY = (height - imgH - textH) / 2;
        imgY = textY + textH;
        break;
    case TPNGButtonLayout::pbsImageLeft:
        imgX = (width - imgW - textW) / 2;
        textX = imgX + imgW + gapBeside;
        break;
    case TPNGButtonLayout::pbsImageRight:
        textX = (width - imgW - textW) / 2;
        imgX = textX + textW + gapBeside;
        break;
    }
    imgY += shift;
    textY += shift;
    return {QPoint(imgX, imgY), QPoint(textX, textY)};
}

TPNGButton::TPNGButton(QWidget* parent) : QWidget(parent)
{
    resize(23, 23);
    setFocusPolicy(Qt::NoFocus);
    // Moves without a button held count too: they restore the hover look (see mouseMoveEvent).
    setMouseTracking(true);
}

void TPNGButton::SetButtonStyle(TPNGButtonStyle style)
{
    buttonStyle_ = style;
    update();
}

TPNGButtonStyle TPNGButton::ButtonStyle() const
{
    return buttonStyle_;
}

void TPNGButton::SetButtonLayout(TPNGButtonLayout layout)
{
    buttonLayout_ = layout;
    update();
}

TPNGButtonLayout TPNGButton::ButtonLayout() const
{
    return buttonLayout_;
}

void TPNGButton::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

const QString& TPNGButton::Caption() const
{
    return caption_;
}

void TPNGButton::SetFontColor(const QColor& color)
{
    fontColor_ = color;
    update();
}

QColor TPNGButton::FontColor() const
{
    return fontColor_.isValid() ? fontColor_ : palette().color(QPalette::Active, QPalette::ButtonText);
}

void TPNGButton::SetImageNormal(const QImage& image)
{
    imageNormal_ = image;
    update();
    MakeDisabledImage(imageNormal_, FImageDisabled);
}

const QImage& TPNGButton::ImageNormal() const
{
    return imageNormal_;
}

void TPNGButton::SetImageDown(const QImage& image)
{
    imageDown_ = image;
    update();
}

const QImage& TPNGButton::ImageDown() const
{
    return imageDown_;
}

void TPNGButton::SetImageOver(const QImage& image)
{
    imageOver_ = image;
    update();
}

const QImage& TPNGButton::ImageOver() const
{
    return imageOver_;
}

TPNGButtonState TPNGButton::State() const
{
    return FState;
}

bool TPNGButton::MouseOver() const
{
    return FMouseOver;
}

bool TPNGButton::Pressed() const
{
    return FState == TPNGButtonState::pbsDown && FMouseOver;
}

const QImage& TPNGButton::ChosenImage() const
{
    if (Pressed() && !imageDown_.isNull()) {
        return imageDown_;
    }
    if (FMouseOver && !imageOver_.isNull() && isEnabled()) {
        return imageOver_;
    }
    if (FState == TPNGButtonState::pbsDisabled && !FImageDisabled.isNull()) {
        return FImageDisabled;
    }
    return imageNormal_;
}

void TPNGButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const bool pressed = Pressed();
    const QImage& image = ChosenImage();
    const QFontMetrics metrics = painter.fontMetrics();
    std::optional<QSize> captionSize;
    if (!caption_.isEmpty()) {
        captionSize = QSize(metrics.horizontalAdvance(caption_), metrics.height());
    }
    const TPNGButtonPlacement placement =
        PlacePNGButtonContent(size(), image.size(), captionSize, buttonLayout_, pressed);

    const QRect captionClip = DrawFrame(painter, pressed);
    // Nothing is filled behind image or caption: the picture is blended by its alpha channel
    // over the frame and the parent, and text is drawn without background.
    painter.drawImage(placement.image, image);
    if (hasFocus()) {
        DrawFocusLook(painter, rect().adjusted(2, 2, -2, -2));
    }
    if (caption_.isEmpty()) {
        return;
    }
    painter.setPen(FState == TPNGButtonState::pbsDisabled ? palette().color(QPalette::Disabled, QPalette::ButtonText)
                                                          : FontColor());
    painter.setClipRect(captionClip);
    // drawText takes the base line; the caption's place is the top-left corner of its text.
    painter.drawText(placement.caption + QPoint(0, metrics.ascent()), caption_);
}

QRect TPNGButton::DrawFrame(QPainter& painter, bool pressed) const
{
    const QRect r = rect();
    switch (buttonStyle_) {
    case TPNGButtonStyle::pbsFlat:
        if (FState == TPNGButtonState::pbsDisabled) {
            break;
        }
        // The flat outlines: highlight over shadow when raised, the reverse when sunken.
        if (pressed) {
            DrawEdge(painter, palette(), r, kSunkenOuter, kAllSides);
            return r.adjusted(1, 1, -1, -1);
        }
        if (FMouseOver || FState == TPNGButtonState::pbsDown) {
            DrawEdge(painter, palette(), r, kRaisedInner, kAllSides);
            return r.adjusted(1, 1, -1, -1);
        }
        break;
    case TPNGButtonStyle::pbsDefault:
        DrawButtonFace(painter, palette(), r, pressed);
        break;
    case TPNGButtonStyle::pbsNoFrame:
        break;
    }
    return r;
}

void TPNGButton::enterEvent(QEnterEvent*)
{
    PointerCrossed(true);
}

void TPNGButton::leaveEvent(QEvent*)
{
    PointerCrossed(false);
}

void TPNGButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        clickPending_ = true;
    }
    MouseDown(event->button());
}

void TPNGButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit doubleClicked();
    MouseDown(event->button());
}

void TPNGButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    PointerCrossed(inside);
    if (inside && !FMouseOver && FState != TPNGButtonState::pbsDown) {
        FMouseOver = true;
        update();
    }
}

void TPNGButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        // The click of a release on the button comes before the mouse-up handling.
        const bool click = clickPending_ && rect().contains(event->position().toPoint());
        clickPending_ = false;
        if (click) {
            Click();
        }
    }
    if (FState == TPNGButtonState::pbsDown) {
        SetState(TPNGButtonState::pbsUp);
    }
}

void TPNGButton::keyPressEvent(QKeyEvent* event)
{
    if (!PressesAButton(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    emit clicked();
}

void TPNGButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        EnabledChanged();
    }
    QWidget::changeEvent(event);
}

void TPNGButton::MouseDown(Qt::MouseButton button)
{
    if (FState == TPNGButtonState::pbsUp && button == Qt::LeftButton) {
        SetState(TPNGButtonState::pbsDown);
    }
}

void TPNGButton::Click()
{
    if (FState == TPNGButtonState::pbsDown) {
        SetState(TPNGButtonState::pbsUp);
        // Draw the up look now: a click handler may work for long before the next paint.
        repaint();
    }
    emit clicked();
}

void TPNGButton::PointerCrossed(bool inside)
{
    pointer_.Report(inside, [this](bool entered) { entered ? PointerEntered() : PointerLeft(); });
}

void TPNGButton::PointerEntered()
{
    if (!isEnabled()) {
        return;
    }
    if (OnMouseEnter) {
        OnMouseEnter(*this);
    }
    FMouseOver = true;
    update();
}

void TPNGButton::PointerLeft()
{
    if (!isEnabled()) {
        return;
    }
    if (OnMouseExit) {
        OnMouseExit(*this);
    }
    FMouseOver = false;
    update();
}

void TPNGButton::EnabledChanged()
{
    if (!isEnabled()) {
        // This runs inside Qt's event handling, which an exception must not cross.
        try {
            MakeDisabledImage(imageNormal_, FImageDisabled);
        } catch (const UserError& error) {
            if (OnError) {
                OnError(error);
            } else {
                qWarning("%s", error.what());
            }
            return;
        }
    }
    SetState(isEnabled() ? TPNGButtonState::pbsUp : TPNGButtonState::pbsDisabled);
}

void TPNGButton::SetState(TPNGButtonState value)
{
    FState = value;
    update();
}
