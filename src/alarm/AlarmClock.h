#pragma once

#include "core/IntervalTimer.h"

#include <QString>
#include <functional>

namespace sylvaro::core {
class WallClock;
}

namespace sylvaro::alarm {

// The console clock and the wake-up alarm. One tick just after each second
// boundary shows the local time and, while the alarm is on, compares the
// time text with the alarm text as plain strings; once the time has reached
// it, the alarm sound loops until "Alarm Off". Switching the alarm on or
// changing its time checks at once. UI thread only.
class AlarmClock {
public:
    struct Hooks {
        std::function<QString()> alarmText;
        std::function<void(const QString&)> showTime;
        std::function<void()> ring; // play the alarm sound looping
        std::function<void()> stop; // stop it, keeping its position
    };

    AlarmClock(core::TimerHost& timers, const core::WallClock& clock, Hooks hooks);

    // Starts the clock (the console's load does this).
    void start();
    void alarmOn();
    void alarmOff();
    bool isOn() const { return m_on; }
    // The alarm time was edited.
    void alarmTimeChanged();

    void showTime();
    void check();
    QString timeText() const;

    core::IntervalTimer& tickTimer() { return m_tick; }

    // The tick lands this long after the second boundary, so the time text
    // has surely moved on.
    static constexpr int kAfterBoundaryMs = 2;

private:
    void onTick();
    void aimAtNextSecond();

    const core::WallClock& m_clock;
    Hooks m_hooks;
    bool m_on = false;
    core::IntervalTimer m_tick;
};

} // namespace sylvaro::alarm
