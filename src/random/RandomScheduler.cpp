#include "RandomScheduler.h"

#include "core/RandomSource.h"

namespace sylvaro::random {

using console::channelIndex;
using console::kBanks;
using console::kSlots;

namespace {

int draw(core::RandomSource& random, int n) {
    return static_cast<int>(random.rnd() * n);
}

} // namespace

RandomScheduler::RandomScheduler(core::TimerHost& timers, core::RandomSource& random,
                                 RandomSink& sink, SliderValue sliderValue, SpatialEnabled spatial)
    : m_random(random), m_sink(sink), m_sliderValue(std::move(sliderValue)),
      m_spatial(std::move(spatial)), m_watchdog(
                                         timers, [this] { sweep(); }, kWatchdogMs, true) {
    for (int bank = 1; bank <= kBanks; ++bank) {
        for (int slot = 0; slot < kSlots; ++slot) {
            // Enabled with interval 0 until a slider arms it; bank 1 slot 2
            // starts with a short interval of its own.
            const int interval = bank == 1 && slot == 2 ? 200 : 0;
            m_timers.push_back(std::make_unique<core::IntervalTimer>(
                timers, [this, bank, slot] { fire(bank, slot); }, interval, true));
        }
    }
}

core::IntervalTimer& RandomScheduler::timer(int bank, int slot) {
    return *m_timers[static_cast<std::size_t>(channelIndex(bank, slot))];
}

void RandomScheduler::keepAlive(core::IntervalTimer& timer, bool reenable) {
    m_kept.emplace_back(&timer, reenable);
}

void RandomScheduler::arm(int bank, int slot, int value) {
    core::IntervalTimer& t = timer(bank, slot);
    t.setEnabled(true);
    t.setInterval(1000 + draw(m_random, 3000) + value);
    if (value > console::kFrequencyDisarmAbove) {
        t.setEnabled(false);
    }
}

void RandomScheduler::fire(int bank, int slot) {
    const int value = m_sliderValue(bank, slot);
    if (value == console::kFrequencyOff) {
        return;
    }
    // A factor of 0 leaves the timer silent until the next sweep.
    timer(bank, slot).setInterval(draw(m_random, 32) * value);

    const ChannelTraits t = traits(bank, slot);
    const bool plays = t.profile == Profile::A ? draw(m_random, 100) > 70 : draw(m_random, 10) > 7;
    if (plays) {
        if (t.profile == Profile::A) {
            m_random.randomize();
        }
        m_sink.playOnce(bank, slot);
    }
    if (t.pans && m_spatial()) {
        m_sink.setPan(bank, slot, draw(m_random, console::kPanSpan) + console::kPanMinimum);
    }
}

void RandomScheduler::sweep() {
    for (int slot = 9; slot < kSlots; ++slot) {
        // A channel that is off would only tick to do nothing: leave it
        // asleep (moving its slider arms it anyway).
        if (m_sliderValue(1, slot) != console::kFrequencyOff) {
            timer(1, slot).setEnabled(true);
        }
    }
    for (auto& [kept, reenable] : m_kept) {
        if (reenable) {
            kept->setEnabled(true);
        }
    }
    const auto revive = [](core::IntervalTimer& t) {
        if (t.interval() == 0) {
            t.setInterval(kRevivedIntervalMs);
        }
    };
    for (auto& t : m_timers) {
        revive(*t);
    }
    for (auto& [kept, reenable] : m_kept) {
        revive(*kept);
    }
}

} // namespace sylvaro::random
