#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace sylvaro::program {

namespace {
// A path never holds a line break; anything longer is not ours.
constexpr qint64 kLongestMessage = 8192;
} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/sylvaro-lite.socket");
}

bool SingleInstance::handOver(const QString& file, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The running console says it has the message before this one ends.
    return socket.waitForReadyRead(timeoutMs) && socket.readAll().startsWith("ok");
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    if (m_server->listen(m_name)) {
        return true;
    }
    // Nobody answered a moment ago: a socket left by a console that
    // crashed.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestMessage) {
                    socket->abort();
                }
                return;
            }
            const QString file = QString::fromUtf8(socket->readLine(kLongestMessage)).trimmed();
            socket->write("ok\n");
            socket->flush();
            Q_EMIT opened(file);
        });
    }
}

} // namespace sylvaro::program
