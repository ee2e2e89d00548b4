#pragma once

#include "RandomChannels.h"
#include "core/IntervalTimer.h"

#include <functional>
#include <memory>
#include <vector>

namespace sylvaro::core {
class RandomSource;
}

namespace sylvaro::random {

// What a firing does to a channel's sound: play it once from where it is,
// and move it in the stereo field.
class RandomSink {
public:
    virtual ~RandomSink() = default;
    virtual void playOnce(int bank, int slot) = 0;
    virtual void setPan(int bank, int slot, int pan) = 0;
};

// The firing timers of the 40 random channels and the watchdog sweep that
// keeps them alive. A slider move arms its channel's timer (first firing
// 1.0..6.0 s later); each firing draws the next interval from the slider
// value, decides by the channel's profile whether the sound plays, and pans
// it at random while spatial sound is on. UI thread only.
class RandomScheduler {
public:
    using SliderValue = std::function<int(int bank, int slot)>;
    using SpatialEnabled = std::function<bool()>;

    RandomScheduler(core::TimerHost& timers, core::RandomSource& random, RandomSink& sink,
                    SliderValue sliderValue, SpatialEnabled spatial);

    // A slider changed or was dragged to `value`.
    void arm(int bank, int slot, int value);
    void fire(int bank, int slot);
    void sweep();

    core::IntervalTimer& timer(int bank, int slot);
    core::IntervalTimer& watchdog() { return m_watchdog; }
    // Another timer the sweep keeps alive (interval 0 becomes 100 ms);
    // `reenable` also switches it back on at every sweep.
    void keepAlive(core::IntervalTimer& timer, bool reenable);

    static constexpr int kWatchdogMs = 5000;
    static constexpr int kRevivedIntervalMs = 100;

private:
    core::RandomSource& m_random;
    RandomSink& m_sink;
    SliderValue m_sliderValue;
    SpatialEnabled m_spatial;
    std::vector<std::unique_ptr<core::IntervalTimer>> m_timers;
    core::IntervalTimer m_watchdog;
    std::vector<std::pair<core::IntervalTimer*, bool>> m_kept;
};

} // namespace sylvaro::random
