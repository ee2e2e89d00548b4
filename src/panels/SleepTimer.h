#pragma once

#include "core/IntervalTimer.h"

#include <QObject>
#include <cstdint>

namespace sylvaro::core {
class TimerHost;
class WallClock;
} // namespace sylvaro::core

namespace sylvaro::panels {

class OutputPause;

// The sleep timer: counts down to a moment on the wall clock, fades the
// output over the last minutes in equal steps of decibels, one a second, and
// pauses it when the time is up. It is never stored: a timer ends with the
// program. UI thread only.
class SleepTimer : public QObject {
    Q_OBJECT
public:
    SleepTimer(core::TimerHost& timers, const core::WallClock& clock, OutputPause& output,
               QObject* parent = nullptr);

    // Starts afresh: the output ends `minutes` from now.
    void start(int minutes);
    // Moves the end `minutes` later; a fade under way turns back up.
    void extend(int minutes);
    // Stops counting; a fade under way turns back up to full level.
    void cancel();

    bool isRunning() const { return m_endMs >= 0; }
    // Until the end (0 when not running).
    std::int64_t remainingMs() const;
    // Whether the output is being faded now.
    bool isFading() const;

    // How long the fade lasts (1 to kMaxFadeMinutes, default 2); a timer
    // shorter than that fades over all of it.
    int fadeMinutes() const { return m_fadeMinutes; }
    void setFadeMinutes(int minutes);

    static constexpr int kMinutesMax = 600;
    static constexpr int kDefaultFadeMinutes = 2;
    static constexpr int kMaxFadeMinutes = 30;
    static constexpr int kStepMs = 1000;
    // Where the fade arrives just before the end, in hundredths of a dB;
    // the last step goes on to silence.
    static constexpr int kFadeFloor = -6000;

Q_SIGNALS:
    // Started, extended, cancelled or a second has passed.
    void changed();
    // The time is up and the output has been paused.
    void ended();

private:
    void step();
    std::int64_t now() const;
    // The fade's length for the time left.
    std::int64_t fadeMs(std::int64_t remaining) const;
    int levelAt(std::int64_t remaining) const;

    const core::WallClock& m_clock;
    OutputPause& m_output;
    core::IntervalTimer m_tick;
    std::int64_t m_endMs = -1;
    // The fade's length, fixed when started, extended or the length changed.
    std::int64_t m_fadeMs = 0;
    int m_fadeMinutes = kDefaultFadeMinutes;
};

} // namespace sylvaro::panels
