#pragma once

#include <QElapsedTimer>

class ConversionUi;

// Keeps a long piece of work from holding the person up: at the moments where the work may pause,
// it lets their events through when the last time is long enough ago, and stops the work with
// EUserCanceled once they ask it to stop.
class EventPacer {
public:
    explicit EventPacer(ConversionUi& ui);

    // Whether it is time to let events through again.
    bool IsDue() const;
    // Lets events through now; raises EUserCanceled when the person has asked to stop.
    void LetEventsThrough();
    // Lets events through when it is time.
    void Pause();

private:
    ConversionUi& ui_;
    QElapsedTimer sinceLast_;
};
