#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace sylvaro::program {

// Holds the desktop's lock against automatic suspend - never against the
// screen blanking - with a reason the desktop may show: through the desktop
// portal's Inhibit on the session bus, else through logind's Inhibit("sleep")
// on the system bus, else (neither answers) not at all, without a word.
// Every call is asynchronous: the window never waits for a bus. The lock
// follows the last reason asked for; a new reason takes a new lock before
// the old one is let go. UI thread only.
class SuspendInhibitor : public QObject {
    Q_OBJECT
public:
    enum class Route { Unknown, Portal, Login, None };

    SuspendInhibitor(const QDBusConnection& session, const QDBusConnection& system,
                     QObject* parent = nullptr);
    ~SuspendInhibitor() override;

    // Holds the lock for `reason`; an empty reason lets it go.
    void setReason(const QString& reason);

    bool isHeld() const { return m_held.route != Route::Unknown; }
    QString heldReason() const { return m_held.reason; }
    // Which service the lock comes from, once one has answered.
    Route route() const { return m_route; }

    // The system bus when this machine has one, else a connection that is
    // not connected (so nothing is tried and nothing is printed).
    static QDBusConnection systemBus();

    static const QString kPortalService;
    static const QString kPortalPath;
    static const QString kLoginService;
    static const QString kLoginPath;
    // The portal's flag for "suspend".
    static constexpr uint kSuspendFlag = 4;

Q_SIGNALS:
    // The lock was taken or let go.
    void changed();

private:
    struct Lock {
        Route route = Route::Unknown; // Unknown: none held
        QString reason;
        QDBusObjectPath request;       // the portal's
        QDBusUnixFileDescriptor file;  // logind's: closing it lets go
    };

    void update();
    void take(Route route, const QString& reason);
    void taken(Lock lock);
    void failed(Route route);
    void letGo(Lock& lock);

    QDBusConnection m_session;
    QDBusConnection m_system;
    Route m_route = Route::Unknown;
    QString m_wanted;
    Lock m_held;
    bool m_waiting = false;
};

} // namespace sylvaro::program
