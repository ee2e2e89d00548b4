#include "alarm/AlarmClock.h"

#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"

#include <gtest/gtest.h>

using namespace sylvaro;

namespace {

class Alarm : public ::testing::Test {
protected:
    core::VirtualTimerHost host;
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(6, 59, 59))};
    QString alarmText = QStringLiteral("07:00:00");
    QStringList shown;
    bool ringing = false;
    int rings = 0;
    int stops = 0;
    alarm::AlarmClock alarmClock{host, clock,
                                 alarm::AlarmClock::Hooks{[this] { return alarmText; },
                                                          [this](const QString& t) { shown << t; },
                                                          [this] {
                                                              ringing = true;
                                                              ++rings;
                                                          },
                                                          [this] {
                                                              ringing = false;
                                                              ++stops;
                                                          }}};

    void SetUp() override { alarmClock.start(); }

    // Virtual time until the first ring, in 1 ms steps, at most `limit`.
    std::int64_t msUntilRing(std::int64_t limit) {
        const std::int64_t start = host.now();
        while (!ringing && host.now() - start < limit) {
            host.advance(1);
        }
        return host.now() - start;
    }
};

} // namespace

TEST_F(Alarm, RingsWithin20MsOfTheClockReachingTheAlarmTime) {
    alarmClock.alarmOn();
    const std::int64_t waited = msUntilRing(5000);
    ASSERT_TRUE(ringing);
    EXPECT_GE(waited, 1000);
    EXPECT_LE(waited, 1020);
    EXPECT_GE(clock.localNow().time(), QTime(7, 0, 0));
}

TEST_F(Alarm, ComparesAsPlainStringsSoOddTextsBehaveAsWritten) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(22, 0, 0)));
    alarmClock.alarmOn();
    EXPECT_LE(msUntilRing(100), 20) << "22:00:00 sorts after 07:00:00";

    alarmClock.alarmOff();
    alarmText = QStringLiteral("00:00");
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0)));
    alarmClock.alarmOn();
    EXPECT_LE(msUntilRing(100), 20) << "every time text sorts after 00:00";

    alarmClock.alarmOff();
    alarmText = QStringLiteral("7:30:00");
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(23, 59, 0)));
    alarmClock.alarmOn();
    msUntilRing(120000);
    EXPECT_FALSE(ringing) << "7:30:00 sorts after every time text";
}

TEST_F(Alarm, OnlyAlarmOffStopsItAndAlarmOnRingsAgain) {
    alarmClock.alarmOn();
    msUntilRing(2000);
    ASSERT_TRUE(ringing);
    alarmText = QStringLiteral("23:00:00"); // editing the box does not stop it
    host.advance(1000);
    EXPECT_TRUE(ringing);
    EXPECT_EQ(stops, 0);
    alarmClock.alarmOff();
    EXPECT_FALSE(ringing);
    host.advance(1000);
    EXPECT_FALSE(ringing) << "the checks ring only while the alarm is on";
    alarmText = QStringLiteral("07:00:00");
    alarmClock.alarmOn();
    EXPECT_LE(msUntilRing(100), 20);
}

TEST_F(Alarm, TheClockShowsTheTimeAtOnceThenJustAfterEachSecondBegins) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(6, 59, 59, 400)));
    shown.clear();
    alarmClock.start();
    host.advance(599);
    EXPECT_EQ(shown, QStringList{QStringLiteral("06:59:59")}) << "a tick before the second ended";
    host.advance(20);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("06:59:59"), QStringLiteral("07:00:00")}));
    host.advance(2000);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("06:59:59"), QStringLiteral("07:00:00"),
                                  QStringLiteral("07:00:01"), QStringLiteral("07:00:02")}))
        << "one tick a second, no drift";
}

TEST_F(Alarm, ChangingTheAlarmTimeChecksAtOnce) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0, 500)));
    alarmText = QStringLiteral("09:00:00");
    alarmClock.alarmOn();
    EXPECT_FALSE(ringing);
    alarmText = QStringLiteral("08:00:00");
    alarmClock.alarmTimeChanged();
    EXPECT_TRUE(ringing) << "a time already passed rings without waiting for the next tick";
}
