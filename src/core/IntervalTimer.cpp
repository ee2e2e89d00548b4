#include "IntervalTimer.h"

namespace sylvaro::core {

IntervalTimer::IntervalTimer(TimerHost& host, std::function<void()> onTick, int intervalMs,
                             bool enabled)
    : m_onTick(std::move(onTick)), m_backend(host.createBackend(*this)),
      m_interval(intervalMs < 0 ? 0 : intervalMs), m_enabled(enabled) {
    restart();
}

IntervalTimer::~IntervalTimer() {
    m_backend->stop();
}

void IntervalTimer::setInterval(int ms) {
    m_interval = ms < 0 ? 0 : ms;
    restart();
}

void IntervalTimer::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    restart();
}

void IntervalTimer::restart() {
    if (m_enabled && m_interval > 0) {
        m_backend->start(m_interval);
    } else {
        m_backend->stop();
    }
}

void IntervalTimer::fire() {
    if (m_inTick || !m_enabled || m_interval <= 0) {
        return;
    }
    m_inTick = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inTick};
    m_onTick();
}

} // namespace sylvaro::core
