#include "SleepTimer.h"

#include "OutputPause.h"
#include "core/WallClock.h"

#include <QDateTime>
#include <algorithm>

namespace sylvaro::panels {

namespace {
constexpr std::int64_t kMinuteMs = 60000;
constexpr int kSilent = -10000;
// Turning back up after a cancel or extension, gently.
constexpr int kRestoreGlideMs = 1000;
} // namespace

SleepTimer::SleepTimer(core::TimerHost& timers, const core::WallClock& clock, OutputPause& output,
                       QObject* parent)
    : QObject(parent), m_clock(clock), m_output(output), m_tick(timers, [this] { step(); }) {}

std::int64_t SleepTimer::now() const {
    return m_clock.localNow().toMSecsSinceEpoch();
}

void SleepTimer::start(int minutes) {
    minutes = std::clamp(minutes, 1, kMinutesMax);
    m_endMs = now() + minutes * kMinuteMs;
    m_fadeMs = fadeMs(remainingMs());
    // Assigning the interval restarts the countdown: the seconds count from now.
    m_tick.setInterval(kStepMs);
    m_tick.setEnabled(true);
    step();
}

void SleepTimer::extend(int minutes) {
    if (!isRunning()) {
        start(minutes);
        return;
    }
    m_endMs += std::clamp(minutes, 1, kMinutesMax) * kMinuteMs;
    m_fadeMs = fadeMs(remainingMs());
    step();
}

void SleepTimer::cancel() {
    if (!isRunning()) {
        return;
    }
    m_endMs = -1;
    m_tick.setEnabled(false);
    m_output.setLevel(0, kRestoreGlideMs);
    Q_EMIT changed();
}

std::int64_t SleepTimer::remainingMs() const {
    return isRunning() ? std::max<std::int64_t>(0, m_endMs - now()) : 0;
}

bool SleepTimer::isFading() const {
    return isRunning() && m_fadeMs > 0 && remainingMs() <= m_fadeMs;
}

void SleepTimer::setFadeMinutes(int minutes) {
    m_fadeMinutes = std::clamp(minutes, 1, kMaxFadeMinutes);
    if (isRunning()) {
        m_fadeMs = fadeMs(remainingMs());
        step();
    }
}

std::int64_t SleepTimer::fadeMs(std::int64_t remaining) const {
    return std::min<std::int64_t>(m_fadeMinutes * kMinuteMs, remaining);
}

// Straight down in decibels from full level at the fade's start to the
// floor at the end.
int SleepTimer::levelAt(std::int64_t remaining) const {
    if (remaining >= m_fadeMs || m_fadeMs <= 0) {
        return 0;
    }
    return static_cast<int>(kFadeFloor * (m_fadeMs - remaining) / m_fadeMs);
}

// Each step sets where the level has to be one step later and glides there,
// so the output falls steadily and is silent when the time is up.
void SleepTimer::step() {
    if (!isRunning()) {
        return;
    }
    const std::int64_t remaining = remainingMs();
    if (remaining <= 0) {
        m_endMs = -1;
        m_tick.setEnabled(false);
        m_output.setLevel(kSilent, 0);
        m_output.pause(OutputPause::Reason::SleepEnded);
        Q_EMIT changed();
        Q_EMIT ended();
        return;
    }
    const std::int64_t next = remaining - kStepMs;
    const int level = next <= 0 ? kSilent : levelAt(next);
    if (level > m_output.level()) {
        // Turned back up by a new, longer or cancelled timer.
        m_output.setLevel(level, kRestoreGlideMs);
    } else if (level < m_output.level()) {
        m_output.setLevel(level, static_cast<int>(std::min<std::int64_t>(kStepMs, remaining)));
    }
    Q_EMIT changed();
}

} // namespace sylvaro::panels
