#include "SuspendInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>

namespace sylvaro::program {

const QString SuspendInhibitor::kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString SuspendInhibitor::kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString SuspendInhibitor::kLoginService = QStringLiteral("org.freedesktop.login1");
const QString SuspendInhibitor::kLoginPath = QStringLiteral("/org/freedesktop/login1");

namespace {
// A service being started on demand answers well within this.
constexpr int kAnswerMs = 10000;
// Who holds the lock, as logind lists it.
const QString kWho = QStringLiteral("Sylvaro Lite");
} // namespace

SuspendInhibitor::SuspendInhibitor(const QDBusConnection& session, const QDBusConnection& system,
                                   QObject* parent)
    : QObject(parent), m_session(session), m_system(system) {}

SuspendInhibitor::~SuspendInhibitor() {
    letGo(m_held);
}

QDBusConnection SuspendInhibitor::systemBus() {
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") &&
        !QFileInfo::exists(QStringLiteral("/run/dbus/system_bus_socket")) &&
        !QFileInfo::exists(QStringLiteral("/var/run/dbus/system_bus_socket"))) {
        return QDBusConnection(QStringLiteral("sylvaro-no-system-bus"));
    }
    return QDBusConnection::systemBus();
}

void SuspendInhibitor::setReason(const QString& reason) {
    if (reason == m_wanted) {
        return;
    }
    m_wanted = reason;
    update();
}

// One call on the way at a time; its answer comes back here.
void SuspendInhibitor::update() {
    if (m_waiting) {
        return;
    }
    if (m_wanted.isEmpty()) {
        if (isHeld()) {
            letGo(m_held);
            Q_EMIT changed();
        }
        return;
    }
    if (isHeld() && m_held.reason == m_wanted) {
        return;
    }
    if (m_route != Route::None) {
        take(m_route == Route::Login ? Route::Login : Route::Portal, m_wanted);
    }
}

void SuspendInhibitor::take(Route route, const QString& reason) {
    QDBusMessage call;
    QDBusConnection bus = route == Route::Portal ? m_session : m_system;
    if (!bus.isConnected()) {
        failed(route);
        return;
    }
    if (route == Route::Portal) {
        call = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                              QStringLiteral("org.freedesktop.portal.Inhibit"),
                                              QStringLiteral("Inhibit"));
        call << QString() << kSuspendFlag
             << QVariantMap{{QStringLiteral("reason"), reason}};
    } else {
        call = QDBusMessage::createMethodCall(kLoginService, kLoginPath,
                                              QStringLiteral("org.freedesktop.login1.Manager"),
                                              QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep") << kWho << reason << QStringLiteral("block");
    }
    m_waiting = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, route, reason](QDBusPendingCallWatcher* answer) {
                answer->deleteLater();
                m_waiting = false;
                Lock lock{route, reason, {}, {}};
                if (route == Route::Portal) {
                    const QDBusPendingReply<QDBusObjectPath> reply = *answer;
                    if (reply.isError()) {
                        failed(route);
                        return;
                    }
                    lock.request = reply.value();
                } else {
                    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *answer;
                    if (reply.isError() || !reply.value().isValid()) {
                        failed(route);
                        return;
                    }
                    lock.file = reply.value();
                }
                taken(std::move(lock));
            });
}

void SuspendInhibitor::taken(Lock lock) {
    m_route = lock.route;
    letGo(m_held);
    m_held = std::move(lock);
    Q_EMIT changed();
    update(); // the wish may have changed meanwhile
}

// The portal is not there: logind; logind is not there either: nothing,
// and nothing is asked again. A service that answered before and fails now
// is asked again with the next reason; a lock already held stays meanwhile.
void SuspendInhibitor::failed(Route route) {
    if (m_route == Route::Unknown) {
        if (route == Route::Portal && !m_wanted.isEmpty()) {
            take(Route::Login, m_wanted);
            return;
        }
        if (route == Route::Login) {
            m_route = Route::None;
        }
    }
    if (m_wanted.isEmpty() && isHeld()) {
        letGo(m_held);
        Q_EMIT changed();
    }
}

void SuspendInhibitor::letGo(Lock& lock) {
    if (lock.route == Route::Portal) {
        m_session.asyncCall(QDBusMessage::createMethodCall(
            kPortalService, lock.request.path(), QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Close")));
    }
    lock = Lock{};
}

} // namespace sylvaro::program
