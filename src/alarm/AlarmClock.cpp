#include "AlarmClock.h"

#include "core/WallClock.h"

namespace sylvaro::alarm {

AlarmClock::AlarmClock(core::TimerHost& timers, const core::WallClock& clock, Hooks hooks)
    : m_clock(clock), m_hooks(std::move(hooks)), m_tick(timers, [this] { onTick(); }) {}

QString AlarmClock::timeText() const {
    return m_clock.localNow().time().toString(QStringLiteral("HH:mm:ss"));
}

void AlarmClock::start() {
    showTime();
    aimAtNextSecond();
    m_tick.setEnabled(true);
}

void AlarmClock::aimAtNextSecond() {
    const int msec = m_clock.localNow().time().msec();
    m_tick.setInterval(1000 - msec + kAfterBoundaryMs);
}

void AlarmClock::onTick() {
    showTime();
    check();
    aimAtNextSecond();
}

void AlarmClock::alarmOn() {
    m_on = true;
    check();
}

void AlarmClock::alarmOff() {
    m_on = false;
    m_hooks.stop();
}

void AlarmClock::alarmTimeChanged() {
    check();
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
