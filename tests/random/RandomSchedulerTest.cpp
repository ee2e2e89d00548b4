#include "random/RandomScheduler.h"

#include "core/RandomSource.h"
#include "core/VirtualTimerHost.h"

#include <array>
#include <gtest/gtest.h>
#include <optional>

using namespace sylvaro;
using random::RandomScheduler;

namespace {

struct Counts {
    long plays = 0;
    long pans = 0;
    int lastPan = 0;
    int minPan = 1 << 30;
    int maxPan = -(1 << 30);
};

class RecordingSink final : public random::RandomSink {
public:
    std::array<Counts, console::kChannels> channels{};
    Counts& of(int bank, int slot) {
        return channels[static_cast<std::size_t>(console::channelIndex(bank, slot))];
    }
    void playOnce(int bank, int slot) override { ++of(bank, slot).plays; }
    void setPan(int bank, int slot, int pan) override {
        Counts& c = of(bank, slot);
        ++c.pans;
        c.lastPan = pan;
        c.minPan = std::min(c.minPan, pan);
        c.maxPan = std::max(c.maxPan, pan);
    }
};

// The scheduler with its sliders held in an array, as the console's would be.
class Scheduler : public ::testing::Test {
protected:
    core::VirtualTimerHost host;
    core::RandomSource rnd{12345};
    RecordingSink sink;
    std::array<int, console::kChannels> sliders{};
    bool spatial = true;
    RandomScheduler scheduler{
        host, rnd, sink,
        [this](int b, int s) {
            return sliders[static_cast<std::size_t>(console::channelIndex(b, s))];
        },
        [this] { return spatial; }};

    Scheduler() {
        rnd.setFixedSeed(12345);
        setAll(2000);
    }
    void set(int bank, int slot, int value) {
        sliders[static_cast<std::size_t>(console::channelIndex(bank, slot))] = value;
        scheduler.arm(bank, slot, value);
    }
    void setAll(int value) {
        for (int bank = 1; bank <= 2; ++bank) {
            for (int slot = 0; slot < 20; ++slot) {
                set(bank, slot, value);
            }
        }
    }
    // Virtual time until the channel next fires (plays or pans), at most `limit`.
    std::optional<std::int64_t> untilNextFiring(int bank, int slot, std::int64_t limit) {
        const auto before = sink.of(bank, slot).pans;
        const std::int64_t start = host.now();
        while (host.now() - start < limit) {
            host.advance(10);
            if (sink.of(bank, slot).pans != before) {
                return host.now() - start;
            }
        }
        return std::nullopt;
    }
};

} // namespace

TEST_F(Scheduler, FirstFiringComesOneToSixSecondsAfterASliderMove) {
    for (int round = 0; round < 40; ++round) {
        const int value = (round * 157) % 1999;
        set(2, 4, value);
        const auto first = untilNextFiring(2, 4, 7000);
        ASSERT_TRUE(first);
        EXPECT_GE(*first, 1000 + value);
        EXPECT_LE(*first, 4000 + value + 10);
        EXPECT_LE(*first, 6000);
        set(2, 4, 2000);
    }
}

TEST_F(Scheduler, LaterIntervalsAreAWholeMultipleOfTheSliderValue) {
    set(1, 12, 300);
    int fired = 0;
    for (int i = 0; i < 200; ++i) {
        host.advance(100);
        const int interval = scheduler.timer(1, 12).interval();
        if (sink.of(1, 12).pans > fired) {
            fired = static_cast<int>(sink.of(1, 12).pans);
            EXPECT_TRUE(interval == 100 || interval % 300 == 0) << interval;
            EXPECT_LE(interval, 31 * 300);
        }
    }
    EXPECT_GT(fired, 0);
}

TEST_F(Scheduler, ProfilesPlayWithTheirChancesAndPanEveryTick) {
    set(1, 0, 1); // profile A
    set(2, 0, 1); // profile B
    host.advance(24LL * 3600 * 1000);
    for (auto [bank, slot, chance] : {std::tuple{1, 0, 0.29}, std::tuple{2, 0, 0.20}}) {
        const Counts& c = sink.of(bank, slot);
        ASSERT_GT(c.pans, 5000) << "too few ticks to judge";
        const double share = static_cast<double>(c.plays) / static_cast<double>(c.pans);
        EXPECT_NEAR(share, chance, 0.03) << "bank " << bank;
        EXPECT_GE(c.minPan, -3000);
        EXPECT_LE(c.maxPan, 1999);
        EXPECT_LT(c.minPan, -2500);
        EXPECT_GT(c.maxPan, 1500);
    }
}

TEST_F(Scheduler, ChannelsWithoutThePanFlagAndTicksWithSpatialOffNeverPan) {
    for (int slot = 5; slot <= 8; ++slot) {
        set(1, slot, 20);
    }
    set(1, 9, 20);
    host.advance(600000);
    for (int slot = 5; slot <= 8; ++slot) {
        EXPECT_GT(sink.of(1, slot).plays, 0);
        EXPECT_EQ(sink.of(1, slot).pans, 0) << "slot " << slot;
    }
    const auto pans = sink.of(1, 9).pans;
    EXPECT_GT(pans, 0);
    const auto plays = sink.of(1, 9).plays;
    spatial = false;
    host.advance(600000);
    EXPECT_EQ(sink.of(1, 9).pans, pans);
    EXPECT_GT(sink.of(1, 9).plays, plays);
}

TEST_F(Scheduler, AZeroFactorWaitsForTheWatchdogAndResumesWithin5100Ms) {
    set(2, 8, 0); // "Often": every firing draws interval 0
    ASSERT_TRUE(untilNextFiring(2, 8, 6000));
    EXPECT_EQ(scheduler.timer(2, 8).interval(), 0);
    for (int i = 0; i < 20; ++i) {
        const auto next = untilNextFiring(2, 8, 6000);
        ASSERT_TRUE(next);
        EXPECT_LE(*next, 5100);
    }
}

TEST_F(Scheduler, SlidersAtTheOffEndDisableTheTimerButTheWatchdogRevivesBank1Slots9To19) {
    set(1, 4, 1999);
    set(1, 10, 1999);
    set(1, 11, 2000);
    EXPECT_FALSE(scheduler.timer(1, 4).isEnabled());
    EXPECT_FALSE(scheduler.timer(1, 10).isEnabled());
    host.advance(5000);
    EXPECT_FALSE(scheduler.timer(1, 4).isEnabled());
    EXPECT_TRUE(scheduler.timer(1, 10).isEnabled());
    EXPECT_FALSE(scheduler.timer(1, 11).isEnabled()) << "an off channel is not woken to do nothing";
    host.advance(3LL * 3600 * 1000);
    EXPECT_EQ(sink.of(1, 4).pans, 0);
    EXPECT_GT(sink.of(1, 10).pans, 0) << "1999 fires on the slowest schedule";
    EXPECT_EQ(sink.of(1, 11).pans + sink.of(1, 11).plays, 0) << "2000 stays silent";
}

TEST_F(Scheduler, KeptTimersAreRevivedAndReenabledBySweep) {
    int ticks = 0;
    core::IntervalTimer clock(
        host, [&] { ++ticks; }, 0, false);
    scheduler.keepAlive(clock, true);
    host.advance(5000);
    EXPECT_TRUE(clock.isEnabled());
    EXPECT_EQ(clock.interval(), RandomScheduler::kRevivedIntervalMs);
    host.advance(1000);
    EXPECT_EQ(ticks, 10);
}

TEST_F(Scheduler, SoakOfADayKeepsEveryLiveChannelFiringWithoutLosingTimers) {
    for (int bank = 1; bank <= 2; ++bank) {
        for (int slot = 0; slot < 20; ++slot) {
            const int i = console::channelIndex(bank, slot);
            set(bank, slot, i % 10 == 9 ? 2000 : 100 + 47 * i);
        }
    }
    std::array<long, console::kChannels> before{};
    for (int hour = 0; hour < 24; ++hour) {
        for (int i = 0; i < console::kChannels; ++i) {
            before[static_cast<std::size_t>(i)] = sink.channels[static_cast<std::size_t>(i)].pans +
                                                  sink.channels[static_cast<std::size_t>(i)].plays;
        }
        host.advance(3600LL * 1000);
        for (int i = 0; i < console::kChannels; ++i) {
            const auto& c = sink.channels[static_cast<std::size_t>(i)];
            const bool live = i % 10 != 9;
            if (live) {
                EXPECT_GT(c.pans + c.plays, before[static_cast<std::size_t>(i)])
                    << "channel " << i << " went quiet in hour " << hour;
                EXPECT_TRUE(scheduler.timer(i / 20 + 1, i % 20).isEnabled()) << "lost timer " << i;
            }
        }
    }
    // The host holds no more schedules than timers exist.
    EXPECT_LE(host.activeTimers(), console::kChannels + 1);
}
