#include "program/SplashWindow.h"

#include "app/ConsoleFixture.h"

#include <QLabel>
#include <QTest>

namespace sylvaro::test {
namespace {

// The splash: two seconds of virtual time, or a key, or a click.
class SplashTest : public ::testing::Test {
protected:
    core::VirtualTimerHost host;
    ProgramFolder folder;
    core::AppDir dir{folder.path()};
    program::SplashWindow splash{host, dir};
    int finished = 0;

    void SetUp() override {
        QObject::connect(&splash, &program::SplashWindow::finished, &splash,
                         [this] { ++finished; });
        splash.start();
        ASSERT_TRUE(splash.isVisible());
    }
};

TEST_F(SplashTest, EndsAfterTwoSeconds) {
    EXPECT_EQ(splash.findChild<QLabel*>(QStringLiteral("lblProductName"))->text(),
              QStringLiteral("Sylvaro v1.2"));
    host.advance(1999);
    EXPECT_EQ(finished, 0);
    host.advance(1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(splash.isVisible());
    host.advance(10000);
    EXPECT_EQ(finished, 1);
}

TEST_F(SplashTest, AKeyEndsItEarlyAndOnlyOnce) {
    host.advance(500);
    QTest::keyClick(&splash, Qt::Key_A);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(splash.isVisible());
    host.advance(2000);
    EXPECT_EQ(finished, 1);
}

TEST_F(SplashTest, AClickOnTheFrameEndsIt) {
    QWidget* frame = splash.findChild<QWidget*>(QStringLiteral("Frame1"));
    ASSERT_NE(frame, nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(finished, 1);
}

} // namespace
} // namespace sylvaro::test
