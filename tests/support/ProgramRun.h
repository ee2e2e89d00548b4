#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QThread>

namespace sylvaro::test {

// A file's bytes; nothing when it cannot be read.
inline QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Polls `done` every 20 ms for at most `limitMs` of real time (a program
// running in another process has no event loop of ours to wait on).
template <typename Fn> bool waitFor(Fn done, int limitMs) {
    for (int waited = 0; waited < limitMs; waited += 20) {
        if (done()) {
            return true;
        }
        QThread::msleep(20);
    }
    return done();
}

// The environment of a real program run in a test: offscreen, the given SDL
// driver writing its speakers to `speakers`, and a private home with its own
// data, config and runtime folders.
inline QProcessEnvironment programEnvironment(const QString& home, const QString& driver,
                                              const QString& speakers) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), driver);
    env.insert(QStringLiteral("SDL_DISKAUDIOFILE"), speakers);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    return env;
}

// The user of `home` switched the start-up information window off: the
// saved mix then resumes 2500 ms after the console's load, with no window
// to close first.
inline bool switchTipsOff(const QString& home) {
    const QString folder = home + QStringLiteral("/config/sylvaro-lite");
    QFile file(folder + QStringLiteral("/sylvaro-lite.conf"));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
           file.write("[Options]\nShow Tips at Startup=0\n") > 0;
}

// Starts `exe`, as the unprivileged user "nobody" when asked (for folders
// that must stay read-only even to a test run as root).
inline void startProgram(QProcess& process, const QString& exe, bool asNobody,
                         const QStringList& args = {}) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (asNobody) {
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"), QStringLiteral("--"), exe} +
                          args);
    } else {
        process.start(exe, args);
    }
}

} // namespace sylvaro::test
