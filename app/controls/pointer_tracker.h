#pragma once

// Whether the pointer is over a button, from the enter, leave and move events the button gets.
//
// While a mouse button is held on a widget, Qt gives the widget every move of the pointer but no
// enter or leave event, and sends the leave only after the release. The button's look must change
// the moment the pointer crosses its edge during a press, so the moves report crossings too, and a
// crossing already reported is not reported again when Qt's own event follows.
class PointerTracker {
public:
    // Where the pointer is now; `crossed(inside)` runs when it has crossed the edge since the last
    // report.
    template <typename Crossed>
    void Report(bool inside, Crossed crossed)
    {
        if (inside != inside_) {
            inside_ = inside;
            crossed(inside);
        }
    }

private:
    bool inside_ = false;
};
