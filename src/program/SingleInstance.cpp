#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace sylvaro::program {

namespace {
// Long enough for any sender on the same machine, short enough that a
// stuck one does not linger.
constexpr int kPatienceMs = 5000;
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
    return send({ConsoleRequest::Verb::Open, file}, timeoutMs).kind == Answer::Kind::Done;
}

SingleInstance::Answer SingleInstance::send(const ConsoleRequest& request, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) {
        return {};
    }
    socket.write(request.toLine());
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return {};
    }
    // The running console answers before this one ends.
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() <= ConsoleRequest::kLongest &&
           socket.waitForReadyRead(timeoutMs)) {
        reply += socket.readAll();
    }
    reply = reply.left(reply.indexOf('\n'));
    if (reply == ConsoleRequest::okReply().trimmed()) {
        return {Answer::Kind::Done, {}};
    }
    if (reply.startsWith("error ")) {
        return {Answer::Kind::Refused, QString::fromUtf8(reply.mid(6))};
    }
    return {};
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onRequest(socket); });
        // A sender that never finishes its line is not kept waiting for.
        QTimer::singleShot(kPatienceMs, socket, &QLocalSocket::abort);
    }
}

// One request per connection: what arrives with the first line is part of
// it, anything after the answer is not read.
void SingleInstance::onRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > ConsoleRequest::kLongest) {
            socket->abort();
        }
        return;
    }
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    QString why;
    const std::optional<ConsoleRequest> request =
        ConsoleRequest::fromBytes(socket->read(ConsoleRequest::kLongest + 1), why);
    socket->write(request ? ConsoleRequest::okReply() : ConsoleRequest::errorReply(why));
    socket->flush();
    socket->disconnectFromServer();
    if (!request) {
        return;
    }
    if (request->verb == ConsoleRequest::Verb::Open) {
        Q_EMIT opened(request->text);
    } else {
        Q_EMIT commanded(*request);
    }
}

} // namespace sylvaro::program
