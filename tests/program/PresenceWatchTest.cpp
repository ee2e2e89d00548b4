#include "program/PresenceWatch.h"

#include "core/VirtualTimerHost.h"
#include "support/FakeAudioOutput.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace sylvaro::test {
namespace {

using program::PresenceWatch;
using Asked = std::vector<bool>;

// Someone at the console: quick changes from a touch until a whole quiet
// spell has passed, in virtual time.
TEST(PresenceWatch, ATouchMakesChangesQuickUntilAQuietSpellHasPassed) {
    core::VirtualTimerHost host;
    FakeAudioOutput output;
    PresenceWatch watch(host, output);
    QWidget window;
    window.resize(200, 100);
    window.show();
    qApp->installEventFilter(&watch);

    EXPECT_EQ(output.quickChanges, Asked{true}) << "whoever started the program is there";
    host.advance(PresenceWatch::kIdleMs);
    EXPECT_EQ(output.quickChanges, (Asked{true, false}));
    host.advance(10 * PresenceWatch::kIdleMs);
    EXPECT_EQ(output.quickChanges, (Asked{true, false})) << "left alone, it is asked nothing more";

    QTest::mouseMove(&window, QPoint(50, 50));
    EXPECT_EQ(output.quickChanges, (Asked{true, false, true}));
    EXPECT_TRUE(watch.present());
    // A key just before the spell ends keeps it quick for another spell.
    host.advance(PresenceWatch::kIdleMs - 1);
    QTest::keyClick(&window, Qt::Key_A);
    host.advance(1);
    EXPECT_EQ(output.quickChanges, (Asked{true, false, true}));
    host.advance(PresenceWatch::kIdleMs);
    EXPECT_EQ(output.quickChanges, (Asked{true, false, true, false}));
    EXPECT_FALSE(watch.present());

    qApp->removeEventFilter(&watch);
}

} // namespace
} // namespace sylvaro::test
