#include "builder/workflow/event_pacer.h"

#include "builder/workflow/conversion_ui.h"
#include "common/cancellation.h"

namespace {

// Well below the tenth of a second at which a window starts to feel stuck.
constexpr qint64 kIntervalMs = 20;

}  // namespace

EventPacer::EventPacer(ConversionUi& ui) : ui_(ui)
{
    sinceLast_.start();
}

bool EventPacer::IsDue() const
{
    return sinceLast_.elapsed() >= kIntervalMs;
}

void EventPacer::LetEventsThrough()
{
    sinceLast_.restart();
    ui_.DispatchEvents();
    if (ui_.CancelRequested()) {
        throw EUserCanceled();
    }
}

void EventPacer::Pause()
{
    if (IsDue()) {
        LetEventsThrough();
    }
}
