#include "MediaPlayerBus.h"

#include "MprisAdaptors.h"
#include "app/ConsoleLifecycle.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/ControlWatch.h"
#include "core/Text.h"
#include "panels/OutputPause.h"
#include "panels/PictureArea.h"
#include "panels/ScenePanel.h"
#include "scenes/SceneTable.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QGuiApplication>
#include <QToolButton>
#include <QUrl>

namespace sylvaro::program {

const QString MediaPlayerBus::kServiceName = QStringLiteral("org.mpris.MediaPlayer2.sylvaro-lite");
const QString MediaPlayerBus::kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MediaPlayerBus::kIdentity = QStringLiteral("Sylvaro Lite");
const QString MediaPlayerBus::kCustomMixTitle = QStringLiteral("Custom mix");

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

} // namespace

QDBusConnection MediaPlayerBus::sessionBus() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus")))) {
        return QDBusConnection(QStringLiteral("sylvaro-no-session-bus"));
    }
    return QDBusConnection::sessionBus();
}

MediaPlayerBus::MediaPlayerBus(app::ConsoleWindow& console, const QDBusConnection& bus,
                               QObject* parent)
    : QObject(parent), m_console(console), m_bus(bus) {
    app::ControlWatch& watch = console.controlWatch();
    connect(&watch, &app::ControlWatch::sceneApplied, this, [this](const scenes::Scene* scene) {
        m_scene = scene;
        m_custom = false;
        notify({{QStringLiteral("Metadata"), metadata()}});
    });
    connect(&watch, &app::ControlWatch::controlChanged, this, [this] {
        if (!m_custom) {
            m_custom = true;
            notify({{QStringLiteral("Metadata"), metadata()}});
        }
    });
    connect(&console.output(), &panels::OutputPause::changed, this, [this] {
        notify({{QStringLiteral("PlaybackStatus"), playbackStatus()}});
    });
    connect(&console.lifecycle(), &app::ConsoleLifecycle::resumed, this, [this] {
        notify({{QStringLiteral("CanGoNext"), true}, {QStringLiteral("CanGoPrevious"), true}});
    });

    // No session bus (a console session, a container): the player is simply
    // not there, which nothing on the console needs to know about.
    if (!m_bus.isConnected()) {
        return;
    }
    m_exported = new QObject(this);
    new MprisRootAdaptor(m_exported, *this);
    new MprisPlayerAdaptor(m_exported, *this);
    if (!m_bus.registerObject(kObjectPath, m_exported, QDBusConnection::ExportAdaptors)) {
        return;
    }
    // A second console on the same desktop (the single-instance lock lost,
    // another user's program) takes a name of its own, as players do.
    for (const QString& name :
         {kServiceName,
          kServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid())}) {
        if (m_bus.registerService(name)) {
            m_service = name;
            m_registered = true;
            return;
        }
    }
    m_bus.unregisterObject(kObjectPath);
}

MediaPlayerBus::~MediaPlayerBus() {
    if (m_registered) {
        m_bus.unregisterService(m_service);
        m_bus.unregisterObject(kObjectPath);
    }
}

void MediaPlayerBus::play() {
    m_console.output().resume();
}

void MediaPlayerBus::pause() {
    m_console.output().pause(panels::OutputPause::Reason::User);
}

void MediaPlayerBus::playPause() {
    m_console.output().toggle();
}

// A mix has no beginning to go back to: stopping is pausing.
void MediaPlayerBus::stop() {
    pause();
}

void MediaPlayerBus::next() {
    step(1);
}

void MediaPlayerBus::previous() {
    step(-1);
}

// From the scene applied last, or from either end when there has been none;
// through the scene's own button, so it does what a click does and nothing
// before start-up.
void MediaPlayerBus::step(int by) {
    const int count = static_cast<int>(scenes::kGridOrder.size());
    const int at = scenes::gridIndex(m_scene);
    const int to = at < 0 ? (by > 0 ? 0 : count - 1) : ((at + by) % count + count) % count;
    showScene(scenes::atGrid(to));
}

bool MediaPlayerBus::showScene(const scenes::Scene* scene) {
    QToolButton* button = m_console.scenes().button(scene);
    if (!button || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

void MediaPlayerBus::raise() {
    if (m_console.isMinimized()) {
        m_console.showNormal();
    } else {
        m_console.show();
    }
    m_console.raise();
    m_console.activateWindow();
}

QString MediaPlayerBus::playbackStatus() const {
    return m_console.output().isPaused() ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QString MediaPlayerBus::title() const {
    return m_custom || !m_scene ? kCustomMixTitle : core::toQString(m_scene->caption);
}

QVariantMap MediaPlayerBus::metadata() const {
    QVariantMap map;
    const int index = m_custom ? -1 : scenes::gridIndex(m_scene);
    map.insert(
        QStringLiteral("mpris:trackid"),
        QVariant::fromValue(QDBusObjectPath(
            index < 0 ? kNoTrack : QStringLiteral("/org/sylvaro/lite/scene/%1").arg(index))));
    map.insert(QStringLiteral("xesam:title"), title());
    map.insert(QStringLiteral("xesam:album"), kIdentity);
    // The picture on the console: the scene's own, or whatever the mix shows.
    QString picture;
    if (!m_custom && m_scene) {
        picture = m_console.services().appDir.file(QStringLiteral("images"),
                                                   core::toQString(m_scene->picture));
    } else {
        picture = m_console.panels().picture.currentPath();
    }
    if (!picture.isEmpty() && QFileInfo(picture).isFile()) {
        map.insert(QStringLiteral("mpris:artUrl"),
                   QUrl::fromLocalFile(QFileInfo(picture).absoluteFilePath()).toString());
    }
    return map;
}

QString MediaPlayerBus::desktopEntry() const {
    QString name = QGuiApplication::desktopFileName();
    if (name.endsWith(QStringLiteral(".desktop"))) {
        name.chop(8);
    }
    return name.isEmpty() ? QStringLiteral("sylvaro-lite") : name;
}

bool MediaPlayerBus::canGoNext() const {
    return m_console.lifecycle().isStarted();
}

void MediaPlayerBus::notify(const QVariantMap& changed) {
    if (!m_registered) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

} // namespace sylvaro::program
