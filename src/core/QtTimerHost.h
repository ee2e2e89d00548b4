#pragma once

#include "TimerHost.h"

namespace sylvaro::core {

// Runs interval timers on the Qt event loop of the calling (UI) thread.
class QtTimerHost final : public TimerHost {
public:
    std::unique_ptr<TimerBackend> createBackend(IntervalTimer& timer) override;
};

} // namespace sylvaro::core
