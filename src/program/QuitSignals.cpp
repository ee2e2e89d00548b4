#include "QuitSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sylvaro::program {

namespace {

int g_fds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int signal) {
    const auto byte = static_cast<unsigned char>(signal);
    // Only async-signal-safe work here; a full pipe just drops a repeat.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (g_fds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0) {
        return;
    }
    ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_fds[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) {
        ::sigaction(s, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    if (!m_notifier) {
        return;
    }
    for (int s : kSignals) {
        std::signal(s, SIG_DFL);
    }
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
}

void QuitSignals::onReadable() {
    unsigned char byte = 0;
    int last = 0;
    while (::read(g_fds[1], &byte, 1) == 1) {
        last = byte;
    }
    if (last != 0) {
        Q_EMIT quitRequested(last);
    }
}

} // namespace sylvaro::program
