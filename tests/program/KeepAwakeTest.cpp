// Keeping the computer awake, against a fake desktop portal and a fake
// logind on the private session bus ctest starts: what the console asks of
// them, and when it lets go. The fakes answer on a connection of their own,
// so every call is a real round trip over the bus.

#include "program/KeepAwake.h"

#include "app/ConsoleFixture.h"
#include "panels/OutputPause.h"
#include "panels/SleepTimer.h"
#include "program/SuspendInhibitor.h"

#include <QAction>
#include <QDBusConnectionInterface>
#include <QDBusUnixFileDescriptor>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace sylvaro;
using program::KeepAwake;
using program::SuspendInhibitor;

namespace {

// org.freedesktop.portal.Inhibit as the desktop offers it: each Inhibit
// makes a Request object whose Close lets the lock go.
class FakeRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    explicit FakeRequest(QStringList& closed, QString path, QObject* parent)
        : QObject(parent), m_closed(closed), m_path(std::move(path)) {}
public Q_SLOTS:
    void Close() { m_closed << m_path; }

private:
    QStringList& m_closed;
    QString m_path;
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    struct Call {
        QString window;
        uint flags;
        QString reason;
        QString handle;
    };
    explicit FakePortal(QDBusConnection& bus) : m_bus(bus) {}
    QList<Call> calls;
    QStringList closed;

    // Locks taken and not let go.
    qsizetype held() const { return calls.size() - closed.size(); }

public Q_SLOTS:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        const QString path =
            QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t%1").arg(calls.size());
        m_bus.registerObject(path, new FakeRequest(closed, path, this),
                             QDBusConnection::ExportAllSlots);
        calls << Call{window, flags, options.value(QStringLiteral("reason")).toString(), path};
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection& m_bus;
};

// logind's Manager.Inhibit: the lock is a file descriptor, here the writing
// end of a pipe, so the test sees it let go when the reading end ends.
class FakeLogin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QStringList calls;
    int readEnd = -1;

    ~FakeLogin() override {
        if (readEnd >= 0) {
            ::close(readEnd);
        }
    }
    // True once every writing end is closed.
    bool letGo() const {
        char byte;
        return ::read(readEnd, &byte, 1) == 0;
    }

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        calls << QStringList{what, who, why, mode}.join(u'|');
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
            return {};
        }
        readEnd = ends[0];
        QDBusUnixFileDescriptor lock(ends[1]); // holds a copy
        ::close(ends[1]);
        return lock;
    }
};

QDBusConnection noBus() {
    return QDBusConnection(QStringLiteral("keep-awake-no-bus"));
}

class KeepAwakeTest : public test::ConsoleTest {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) {
            GTEST_SKIP() << "no session bus: run under dbus-run-session (ctest does)";
        }
        m_desktop = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            QDBusConnection::SessionBus, QStringLiteral("keep-awake-desktop")));
        ASSERT_TRUE(m_desktop->isConnected());
        ASSERT_TRUE(m_settingsDir.isValid());
    }
    void TearDown() override {
        keepAwake.reset();
        console.reset();
        if (m_desktop) {
            m_desktop->unregisterService(SuspendInhibitor::kPortalService);
            m_desktop->unregisterService(SuspendInhibitor::kLoginService);
            m_desktop.reset();
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("keep-awake-desktop"));
    }

    void offer(QObject& service, const QString& name, const QString& path) {
        ASSERT_TRUE(m_desktop->registerObject(path, &service, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_desktop->registerService(name));
    }
    void startKeepingAwake(const QDBusConnection& session, const QDBusConnection& system) {
        start();
        keepAwake = std::make_unique<KeepAwake>(
            *console, std::make_unique<SuspendInhibitor>(session, system));
        keepAwake->setSettings(&settings);
    }
    bool settles(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 5000);
    }

    std::unique_ptr<QDBusConnection> m_desktop;
    QTemporaryDir m_settingsDir;
    QSettings settings{m_settingsDir.filePath(QStringLiteral("user.conf")), QSettings::IniFormat};
    std::unique_ptr<KeepAwake> keepAwake;
};

} // namespace

TEST_F(KeepAwakeTest, HoldsOffSuspendWhilePlayingOrAnAlarmIsSetAndLetsGoAfter) {
    FakePortal portal(*m_desktop);
    offer(portal, SuspendInhibitor::kPortalService, SuspendInhibitor::kPortalPath);
    startKeepingAwake(QDBusConnection::sessionBus(), noBus());
    QTest::qWait(100);
    EXPECT_TRUE(portal.calls.isEmpty()) << "a silent console keeps nothing awake";

    // "Fire Crackling" ticked: a suspend lock, not a screen one.
    box(1)->click();
    ASSERT_TRUE(settles([&] { return portal.held() == 1; }));
    EXPECT_EQ(portal.calls[0].flags, 4u);
    EXPECT_EQ(portal.calls[0].window, QString());
    EXPECT_EQ(portal.calls[0].reason, QStringLiteral("Playing a soundscape"));
    EXPECT_TRUE(settles([&] { return keepAwake->inhibitor().isHeld(); }));

    // Paused by the media keys: let go; playing again: taken again.
    console->output().pause();
    ASSERT_TRUE(settles([&] { return portal.held() == 0; }));
    console->output().resume();
    ASSERT_TRUE(settles([&] { return portal.held() == 1; }));

    // Reset (its question answered OK): everything off, let go.
    console->scenes().resetButton()->click();
    ASSERT_EQ(dialogs.count(app::ConsoleState::kResetText), 1);
    dialogs.clear();
    ASSERT_TRUE(settles([&] { return portal.held() == 0; }));
    EXPECT_EQ(portal.closed.last(), portal.calls.last().handle);

    // Everything off, the alarm on: held for the alarm, with its time.
    console->panels().clock.alarmBox()->setText(QStringLiteral("23:30:00"));
    console->menus().action(QStringLiteral("mnuAlarmOn"))->trigger();
    ASSERT_TRUE(settles([&] { return portal.held() == 1; }));
    EXPECT_EQ(portal.calls.last().reason, QStringLiteral("An alarm is set for 23:30"));
    // A random sound too: the reason follows, a new lock before the old goes.
    console->panels().random.slider(1, 3)->setValue(500);
    host.advance(1000);
    ASSERT_TRUE(settles([&] { return portal.calls.last().reason == KeepAwake::kPlayingReason &&
                                     portal.held() == 1; }));
    console->panels().random.slider(1, 3)->setValue(console::kFrequencyOff);
    host.advance(1000);
    ASSERT_TRUE(settles([&] { return portal.calls.last().reason.startsWith(u"An alarm"); }));
    console->menus().action(QStringLiteral("mnuAlarmOff"))->trigger();
    ASSERT_TRUE(settles([&] { return portal.held() == 0; }));

    // The sleep timer's end pauses the output: let go.
    box(2)->click();
    ASSERT_TRUE(settles([&] { return portal.held() == 1; }));
    console->sleepTimer().start(1);
    host.advance(61000);
    ASSERT_TRUE(console->output().isPaused());
    ASSERT_TRUE(settles([&] { return portal.held() == 0; }));

    // The option off: nothing held however much plays, and the choice kept.
    console->output().resume();
    ASSERT_TRUE(settles([&] { return portal.held() == 1; }));
    QAction* option = console->menus().action(QStringLiteral("mnuKeepAwake"));
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->text(), QStringLiteral("Keep the Computer Awake While Playing"));
    EXPECT_FALSE(settings.contains(KeepAwake::kSettingsKey)) << "no value means on";
    option->trigger();
    ASSERT_TRUE(settles([&] { return portal.held() == 0; }));
    EXPECT_FALSE(settings.value(KeepAwake::kSettingsKey).toBool());
    const qsizetype taken = portal.calls.size();
    box(3)->click();
    QTest::qWait(100);
    EXPECT_EQ(portal.calls.size(), taken);
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(KeepAwakeTest, FallsBackToLogindAndElseToNothingWithoutAWord) {
    // No portal: logind's sleep lock, closed to let go.
    FakeLogin login;
    offer(login, SuspendInhibitor::kLoginService, SuspendInhibitor::kLoginPath);
    startKeepingAwake(noBus(), *m_desktop);
    box(1)->click();
    ASSERT_TRUE(settles([&] { return keepAwake->inhibitor().isHeld(); }));
    ASSERT_EQ(login.calls.size(), 1);
    EXPECT_EQ(login.calls[0], QStringLiteral("sleep|Sylvaro Lite|Playing a soundscape|block"));
    EXPECT_EQ(keepAwake->inhibitor().route(), SuspendInhibitor::Route::Login);
    EXPECT_FALSE(login.letGo());
    box(1)->click();
    ASSERT_TRUE(settles([&] { return login.letGo(); }));
    EXPECT_FALSE(keepAwake->inhibitor().isHeld());
}

TEST_F(KeepAwakeTest, WithNeitherServiceNothingHappensAndNothingIsShown) {
    startKeepingAwake(noBus(), noBus());
    box(1)->click();
    ASSERT_TRUE(settles([&] {
        return keepAwake->inhibitor().route() == SuspendInhibitor::Route::None;
    }));
    EXPECT_FALSE(keepAwake->inhibitor().isHeld());
    console->menus().action(QStringLiteral("mnuAlarmOn"))->trigger();
    box(1)->click();
    QTest::qWait(100);
    EXPECT_FALSE(keepAwake->inhibitor().isHeld());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(box(1)->isEnabled());
}

#include "KeepAwakeTest.moc"
