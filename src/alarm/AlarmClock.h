#pragma once

#include "core/IntervalTimer.h"

#include <QString>
#include <functional>

namespace sylvaro::core {
class WallClock;
}

namespace sylvaro::alarm {

// The console clock and the wake-up alarm. The clock shows the local time
// once a second; while the alarm is on, a 20 ms check compares the time text
// with the alarm text as plain strings and, once the time has reached it,
// starts the alarm sound looping until "Alarm Off". UI thread only.
class AlarmClock {
public:
    struct Hooks {
        std::function<QString()> alarmText;
        std::function<void(const QString&)> showTime;
        std::function<void()> ring; // play the alarm sound looping
        std::function<void()> stop; // stop it, keeping its position
    };

    AlarmClock(core::TimerHost& timers, const core::WallClock& clock, Hooks hooks);

    void alarmOn();
    void alarmOff();
    bool isOn() const { return m_on; }

    void showTime();
    void check();
    QString timeText() const;

    core::IntervalTimer& clockTimer() { return m_clockTimer; }
    core::IntervalTimer& checkTimer() { return m_checkTimer; }

    static constexpr int kClockMs = 1000;
    static constexpr int kCheckMs = 20;

private:
    const core::WallClock& m_clock;
    Hooks m_hooks;
    bool m_on = false;
    core::IntervalTimer m_clockTimer;
    core::IntervalTimer m_checkTimer;
};

} // namespace sylvaro::alarm
