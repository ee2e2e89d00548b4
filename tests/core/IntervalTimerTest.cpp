#include "core/IntervalTimer.h"

#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"

#include <gtest/gtest.h>
#include <vector>

using sylvaro::core::IntervalTimer;
using sylvaro::core::VirtualTimerHost;

TEST(IntervalTimer, FiresPeriodicallyOnlyWhileEnabledWithNonZeroInterval) {
    VirtualTimerHost host;
    std::vector<std::int64_t> ticks;
    IntervalTimer timer(
        host, [&] { ticks.push_back(host.now()); }, 100, false);
    host.advance(500);
    EXPECT_TRUE(ticks.empty()) << "a disabled timer fired";

    timer.setEnabled(true);
    host.advance(350);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{600, 700, 800}));

    timer.setInterval(0);
    host.advance(1000);
    EXPECT_EQ(ticks.size(), 3u) << "interval 0 must never fire";
    EXPECT_TRUE(timer.isEnabled());
}

TEST(IntervalTimer, AssigningAnIntervalRestartsTheCountdownButReEnablingDoesNot) {
    VirtualTimerHost host;
    std::vector<std::int64_t> ticks;
    IntervalTimer timer(
        host, [&] { ticks.push_back(host.now()); }, 1000, true);

    host.advance(900);
    timer.setEnabled(true); // already enabled: the countdown goes on
    host.advance(100);
    ASSERT_EQ(ticks, (std::vector<std::int64_t>{1000}));

    host.advance(900);
    timer.setInterval(1000); // same value, still a restart
    host.advance(900);
    EXPECT_EQ(ticks.size(), 1u);
    host.advance(100);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 2900}));

    timer.setEnabled(false);
    host.advance(500);
    timer.setEnabled(true); // from disabled: a fresh countdown
    host.advance(999);
    EXPECT_EQ(ticks.size(), 2u);
    host.advance(1);
    EXPECT_EQ(ticks.back(), 4400);
}

TEST(IntervalTimer, TicksNeverOverlapEvenWhenAHandlerWaitsInAModalBox) {
    VirtualTimerHost host;
    sylvaro::core::ScriptedDialogs dialogs;
    int slowTicks = 0;
    std::vector<std::int64_t> other;
    IntervalTimer otherTimer(
        host, [&] { other.push_back(host.now()); }, 300, true);
    IntervalTimer slow(
        host,
        [&] {
            ++slowTicks;
            // The user reads the box for two seconds; other timers go on.
            dialogs.message({QStringLiteral("x"), QStringLiteral("t")});
        },
        500, true);
    dialogs.setWhileOpen([&](const auto&) { host.advance(2000); });

    host.advance(500);
    EXPECT_EQ(slowTicks, 1) << "the slow timer re-entered its own handler";
    EXPECT_GE(other.size(), 7u);
    EXPECT_EQ(host.now(), 2500);
}

TEST(VirtualTimerHost, FiresDueTicksInTimeOrderThenCreationOrder) {
    VirtualTimerHost host;
    std::vector<std::pair<char, std::int64_t>> log;
    IntervalTimer a(
        host, [&] { log.emplace_back('a', host.now()); }, 30, true);
    IntervalTimer b(
        host, [&] { log.emplace_back('b', host.now()); }, 20, true);
    IntervalTimer c(
        host, [&] { log.emplace_back('c', host.now()); }, 60, true);
    host.advance(60);
    const std::vector<std::pair<char, std::int64_t>> expected{{'b', 20}, {'a', 30}, {'b', 40},
                                                              {'a', 60}, {'b', 60}, {'c', 60}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(host.activeTimers(), 3);
}

TEST(VirtualTimerHost, AHandlerMayStopOrRestartTimersDuringATick) {
    VirtualTimerHost host;
    int aTicks = 0;
    int bTicks = 0;
    IntervalTimer* bPtr = nullptr;
    IntervalTimer a(
        host,
        [&] {
            ++aTicks;
            bPtr->setEnabled(false);
        },
        10, true);
    IntervalTimer b(
        host, [&] { ++bTicks; }, 10, true);
    bPtr = &b;
    IntervalTimer self(
        host, [&] {}, 10, true);
    host.advance(100);
    EXPECT_EQ(aTicks, 10);
    EXPECT_EQ(bTicks, 0) << "b was stopped before its first due tick";

    // A timer destroyed while the host runs leaves no dangling schedule.
    {
        IntervalTimer shortLived(
            host, [&] {}, 5, true);
        host.advance(20);
    }
    host.advance(100);
    EXPECT_EQ(aTicks, 22);
}
