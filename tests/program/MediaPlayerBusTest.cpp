// The console as a media player on a private session bus (ctest starts one
// with dbus-run-session): what another program on the desktop sees and what
// its calls do to the console and to the rendered output. A client
// connection of its own makes every call a real round trip over the bus.

#include "program/MediaPlayerBus.h"

#include "app/ConsoleFixture.h"
#include "app/ControlWatch.h"
#include "engine/Limiter.h"
#include "panels/OutputPause.h"
#include "panels/SleepPanel.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

using namespace sylvaro;
using sylvaro::program::MediaPlayerBus;
using sylvaro::test::ProgramFolder;

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// Collects the player's PropertiesChanged signals as a desktop would.
class Listener : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;

public Q_SLOTS:
    void onChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == kPlayer) {
            changes << changed;
            Q_EMIT heard();
        }
    }

Q_SIGNALS:
    void heard();
};

double peakLeft(const std::vector<float>& block) {
    double peak = 0;
    for (std::size_t i = 2 * engine::Limiter::kLatencyFrames; i < block.size(); i += 2) {
        peak = std::max(peak, std::abs(double(block[i])));
    }
    return peak;
}

class MediaPlayerBusTest : public test::ConsoleTest {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) {
            GTEST_SKIP() << "no session bus: run under dbus-run-session (ctest does)";
        }
        m_client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QDBusConnection::SessionBus, QStringLiteral("media-player-test-client")));
        ASSERT_TRUE(m_client->isConnected());
    }
    void TearDown() override {
        player.reset();
        m_client.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("media-player-test-client"));
    }

    void startPlayer() {
        start();
        player = std::make_unique<MediaPlayerBus>(*console, QDBusConnection::sessionBus());
        ASSERT_TRUE(player->isRegistered());
    }

    // Blocks with the event loop running, so the player in this same
    // process can answer.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& args = {}) {
        QDBusMessage m = QDBusMessage::createMethodCall(
            MediaPlayerBus::kServiceName, MediaPlayerBus::kObjectPath, interface, method);
        m.setArguments(args);
        return m_client->call(m, QDBus::BlockWithGui, 5000);
    }
    QVariant property(const QString& interface, const QString& name) {
        const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), {interface, name});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap metadata() {
        QVariantMap map;
        property(kPlayer, QStringLiteral("Metadata")).value<QDBusArgument>() >> map;
        return map;
    }
    // Hands the player's PropertiesChanged signals to `listener`.
    bool listen(Listener& listener) {
        return m_client->connect(MediaPlayerBus::kServiceName, MediaPlayerBus::kObjectPath,
                                 kProperties, QStringLiteral("PropertiesChanged"), &listener,
                                 SLOT(onChanged(QString, QVariantMap, QStringList)));
    }
    QString title() { return metadata().value(QStringLiteral("xesam:title")).toString(); }

    std::unique_ptr<MediaPlayerBus> player;
    std::unique_ptr<QDBusConnection> m_client;
};

} // namespace

TEST(MediaPlayerBusWithoutABus, IsSilentlyAbsentAndTheConsoleStillPauses) {
    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random{1};
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(12, 0))};
    test::FakeAudioOutput audio;
    ProgramFolder folder;
    app::ConsoleWindow console(
        app::Services{core::AppDir(folder.path()), host, dialogs, random, clock, audio});
    MediaPlayerBus player(console, QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_FALSE(player.isRegistered());
    EXPECT_TRUE(player.serviceName().isEmpty());
    EXPECT_TRUE(dialogs.messages().empty());
    player.playPause();
    EXPECT_TRUE(console.output().isPaused());
    EXPECT_EQ(player.playbackStatus(), QStringLiteral("Paused"));
}

TEST_F(MediaPlayerBusTest, TellsWhoItIsAndLeavesTheBusWithTheConsole) {
    startPlayer();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sylvaro.SylvaroLite"));
    EXPECT_TRUE(m_client->interface()->isServiceRegistered(MediaPlayerBus::kServiceName));
    EXPECT_EQ(property(kRoot, QStringLiteral("Identity")).toString(),
              QStringLiteral("Sylvaro Lite"));
    EXPECT_EQ(property(kRoot, QStringLiteral("DesktopEntry")).toString(),
              QStringLiteral("org.sylvaro.SylvaroLite"));
    EXPECT_TRUE(property(kRoot, QStringLiteral("CanRaise")).toBool());
    EXPECT_EQ(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));
    EXPECT_TRUE(property(kPlayer, QStringLiteral("CanGoNext")).toBool());
    EXPECT_EQ(title(), MediaPlayerBus::kCustomMixTitle);

    // Raise brings a hidden console up.
    ASSERT_FALSE(console->isVisible());
    call(kRoot, QStringLiteral("Raise"));
    EXPECT_TRUE(console->isVisible());

    player.reset();
    EXPECT_FALSE(m_client->interface()->isServiceRegistered(MediaPlayerBus::kServiceName));
}

TEST_F(MediaPlayerBusTest, NextAndPreviousWalkTheScenesRowByRowAndWrap) {
    startPlayer();
    Listener listener;
    ASSERT_TRUE(listen(listener));
    call(kPlayer, QStringLiteral("Next"));
    EXPECT_EQ(title(), QStringLiteral("Woodland"));
    // The desktop hears of the new scene without asking.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.changes.isEmpty(); }, 5000));
    QVariantMap told;
    listener.changes.last().value(QStringLiteral("Metadata")).value<QDBusArgument>() >> told;
    EXPECT_EQ(told.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Woodland"));
    const QString woodland = pictureName();
    EXPECT_FALSE(woodland.isEmpty());
    call(kPlayer, QStringLiteral("Next"));
    EXPECT_EQ(title(), QStringLiteral("Country"));
    const QVariantMap country = metadata();
    const QUrl art(country.value(QStringLiteral("mpris:artUrl")).toString());
    ASSERT_TRUE(art.isLocalFile()) << art.toString().toStdString();
    EXPECT_TRUE(QFileInfo(art.toLocalFile()).isFile());
    EXPECT_EQ(QFileInfo(art.toLocalFile()).fileName(), pictureName());
    EXPECT_NE(pictureName(), woodland);
    EXPECT_NE(country.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QString());

    call(kPlayer, QStringLiteral("Previous"));
    EXPECT_EQ(title(), QStringLiteral("Woodland"));
    call(kPlayer, QStringLiteral("Previous"));
    EXPECT_EQ(title(), QStringLiteral("Fireside"));
    call(kPlayer, QStringLiteral("Next"));
    EXPECT_EQ(title(), QStringLiteral("Woodland"));

    // A scene's button goes the same way; a control touched makes it a custom mix.
    console->scenes().button("Night")->click();
    EXPECT_EQ(title(), QStringLiteral("Night"));
    box(4)->click();
    EXPECT_EQ(title(), MediaPlayerBus::kCustomMixTitle);
    call(kPlayer, QStringLiteral("Next"));
    EXPECT_EQ(title(), QStringLiteral("Fireside"));
}

TEST_F(MediaPlayerBusTest, PlayPauseSilencesAllButTheAlarmAndTellsTheDesktop) {
    startPlayer();
    Listener listener;
    ASSERT_TRUE(listen(listener));
    box(1)->setChecked(true);
    audio.render(4800);
    ASSERT_GT(peakLeft(audio.render(4800)), 0.5 * ProgramFolder::levelOf("fire.wav"));

    call(kPlayer, QStringLiteral("PlayPause"));
    EXPECT_TRUE(console->output().isPaused());
    EXPECT_EQ(console->sleep().statusText(), QStringLiteral("Paused"));
    EXPECT_EQ(property(kPlayer, QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Paused"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.changes.isEmpty(); }, 5000));
    EXPECT_EQ(listener.changes.last().value(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Paused"));
    audio.render(48000); // the glide down
    EXPECT_EQ(peakLeft(audio.render(4800)), 0.0);
    EXPECT_TRUE(box(1)->isChecked());

    // The alarm rings through it.
    console->panels().clock.alarmBox()->setText(
        clock.localNow().toString(QStringLiteral("HH:mm:ss")));
    console->panels().clock.alarmOn();
    audio.render(4800);
    EXPECT_GT(peakLeft(audio.render(4800)), 0.0);
    console->panels().clock.alarmOff();

    listener.changes.clear();
    call(kPlayer, QStringLiteral("PlayPause"));
    EXPECT_FALSE(console->output().isPaused());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.changes.isEmpty(); }, 5000));
    EXPECT_EQ(listener.changes.last().value(QStringLiteral("PlaybackStatus")).toString(),
              QStringLiteral("Playing"));
    audio.render(48000);
    EXPECT_NEAR(peakLeft(audio.render(4800)), ProgramFolder::levelOf("fire.wav"), 1e-3);

    // Pause, Play and Stop say what they mean, whatever the state.
    call(kPlayer, QStringLiteral("Pause"));
    call(kPlayer, QStringLiteral("Pause"));
    EXPECT_TRUE(console->output().isPaused());
    call(kPlayer, QStringLiteral("Play"));
    call(kPlayer, QStringLiteral("Play"));
    EXPECT_FALSE(console->output().isPaused());
    call(kPlayer, QStringLiteral("Stop"));
    EXPECT_TRUE(console->output().isPaused());
    // Next brings it back with the new scene, as any change to the mix does.
    call(kPlayer, QStringLiteral("Next"));
    EXPECT_FALSE(console->output().isPaused());
}

#include "MediaPlayerBusTest.moc"
