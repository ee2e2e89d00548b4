#pragma once

#include <QObject>

class QSocketNotifier;

namespace sylvaro::program {

// Turns SIGTERM, SIGINT and SIGHUP (logout, `kill`, Ctrl+C) into a Qt signal
// on the UI thread, so the console can shut down like a window close and
// save the user's mix. One per process. UI thread only (the handler itself
// only writes a byte to a pipe).
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void quitRequested(int signal);

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace sylvaro::program
