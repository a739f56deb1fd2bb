#pragma once

class QWidget;

// How a control takes its place in its parent, as the window's layout gives it.
enum class TAlign {
    alNone,    // stays at its own rectangle
    alTop,     // its own height, across the whole remaining width, at the top
    alBottom,  // its own height, across the whole remaining width, at the bottom
    alLeft,    // its own width, down the whole remaining height, at the left
    alRight,   // its own width, down the whole remaining height, at the right
    alClient,  // whatever space is left
};

// Gives a control its alignment; controls never given one are not aligned.
void SetAlign(QWidget& control, TAlign align);
TAlign Align(const QWidget& control);

// Places the aligned children of `parent` inside its contents rectangle, the way the layout's
// framework does: first every top-aligned child, then bottom, left, right and client, each taking
// its space from what the earlier ones left. Within one alignment the children go in the order of
// their current rectangles (top-aligned ones from the top down, bottom-aligned ones from the
// bottom up, left and right alike; ties in creation order, later ones first at the bottom and
// right), so a layout keeps its order when laid out again. Hidden children take no space.
// Children placed here have their own aligned children placed in turn.
void AlignControls(QWidget& parent);
