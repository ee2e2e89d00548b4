#pragma once

#include "ConsoleRequest.h"

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace sylvaro::program {

// One console per user: two would play at once, and the last to close would
// write its settings over the other's. The first start listens on a socket
// in the user's runtime folder; a later start hands its mix file (if any)
// or its command to it (see ConsoleRequest) and ends. UI thread only.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a console is running and took `file` (empty: only show
    // yourself).
    bool handOver(const QString& file, int timeoutMs = 3000);

    // What the running console said to a request.
    struct Answer {
        enum class Kind { NoConsole, Done, Refused };
        Kind kind = Kind::NoConsole;
        QString why; // Refused: the console's words
    };
    Answer send(const ConsoleRequest& request, int timeoutMs = 3000);
    // Becomes the console others hand their files to; false when the socket
    // cannot be made.
    bool listen();

    static QString defaultServerName();

Q_SIGNALS:
    // Another start asked for this console, with a mix file or none.
    void opened(const QString& file);
    // Another start sent a command (never Open: that comes as opened()).
    void commanded(const sylvaro::program::ConsoleRequest& request);

private:
    void onConnection();
    void onRequest(QLocalSocket* socket);

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace sylvaro::program
