#include "AlarmClock.h"

#include "core/WallClock.h"

namespace sylvaro::alarm {

AlarmClock::AlarmClock(core::TimerHost& timers, const core::WallClock& clock, Hooks hooks)
    : m_clock(clock), m_hooks(std::move(hooks)),
      m_clockTimer(
          timers, [this] { showTime(); }, kClockMs, true),
      m_checkTimer(
          timers, [this] { check(); }, kCheckMs, true) {}

QString AlarmClock::timeText() const {
    return m_clock.localNow().time().toString(QStringLiteral("HH:mm:ss"));
}

void AlarmClock::alarmOn() {
    m_on = true;
}

void AlarmClock::alarmOff() {
    m_on = false;
    m_hooks.stop();
}

void AlarmClock::showTime() {
    m_hooks.showTime(timeText());
}

void AlarmClock::check() {
    // Plain ordinal comparison, as the user typed it: "00:00" rings at once,
    // "7:30:00" never does. Once ringing, only "Alarm Off" stops the sound.
    if (m_on && QString::compare(timeText(), m_hooks.alarmText(), Qt::CaseSensitive) >= 0) {
        m_hooks.ring();
    }
}

} // namespace sylvaro::alarm
