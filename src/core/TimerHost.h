#pragma once

#include <memory>

namespace sylvaro::core {

class IntervalTimer;

// The clockwork behind an IntervalTimer: starts and stops a periodic tick.
class TimerBackend {
public:
    virtual ~TimerBackend() = default;
    // (Re)starts the countdown: the first tick comes `ms` after this call,
    // then every `ms`.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
};

// Makes timer backends. Production uses the Qt event loop (QtTimerHost),
// tests use virtual time (VirtualTimerHost).
class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual std::unique_ptr<TimerBackend> createBackend(IntervalTimer& timer) = 0;
};

} // namespace sylvaro::core
