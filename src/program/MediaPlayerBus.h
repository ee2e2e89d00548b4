#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <string_view>

namespace sylvaro::scenes {
struct Scene;
}

namespace sylvaro::app {
class ConsoleWindow;
}

namespace sylvaro::program {

// The console as a media player on the desktop's session bus (MPRIS), so
// media keys and the sound menu reach it: play, pause and stop pause or
// resume all output but the alarm, next and previous step through the
// scenes in the Preset Panel's order, and the metadata names the scene
// applied last ("Custom mix" once the mix has been changed since) with the
// picture shown as art. Without a session bus it is silently absent.
// UI thread only.
class MediaPlayerBus : public QObject {
    Q_OBJECT
public:
    MediaPlayerBus(app::ConsoleWindow& console, const QDBusConnection& bus,
                   QObject* parent = nullptr);
    ~MediaPlayerBus() override;

    // The desktop's session bus when there is one, else a connection that
    // is not connected; never starts a bus of its own.
    static QDBusConnection sessionBus();

    bool isRegistered() const { return m_registered; }
    // The bus name taken (empty when none).
    QString serviceName() const { return m_service; }

    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void raise();
    // Applies a scene as a click on its button does (nothing before
    // start-up); false when the button is not there or not alive.
    bool showScene(const scenes::Scene* scene);

    QString playbackStatus() const;
    QString title() const;
    QVariantMap metadata() const;
    QString desktopEntry() const;
    bool canGoNext() const;

    static const QString kServiceName;
    static const QString kObjectPath;
    static const QString kIdentity;
    static const QString kCustomMixTitle;

private:
    void step(int by);
    // Tells listeners that Player properties changed.
    void notify(const QVariantMap& changed);

    app::ConsoleWindow& m_console;
    QDBusConnection m_bus;
    QObject* m_exported = nullptr;
    bool m_registered = false;
    QString m_service;
    const scenes::Scene* m_scene = nullptr;
    bool m_custom = true;
};

} // namespace sylvaro::program
