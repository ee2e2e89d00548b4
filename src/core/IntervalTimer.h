#pragma once

#include "TimerHost.h"

#include <functional>
#include <memory>

namespace sylvaro::core {

// A periodic timer with the classic form-timer semantics the console relies
// on: an interval of 0 never fires; assigning an interval restarts the
// countdown; enabling an enabled timer changes nothing (it does not restart);
// a tick never starts while the previous tick of the same timer still runs.
// UI thread only.
class IntervalTimer {
public:
    IntervalTimer(TimerHost& host, std::function<void()> onTick, int intervalMs = 0,
                  bool enabled = false);
    ~IntervalTimer();
    IntervalTimer(const IntervalTimer&) = delete;
    IntervalTimer& operator=(const IntervalTimer&) = delete;

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Called by the backend when the countdown expires.
    void fire();

private:
    void restart();

    std::function<void()> m_onTick;
    std::unique_ptr<TimerBackend> m_backend;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_inTick = false;
};

} // namespace sylvaro::core
