#include "VirtualTimerHost.h"

#include "IntervalTimer.h"

#include <algorithm>

namespace sylvaro::core {

class VirtualTimerHost::Backend final : public TimerBackend {
public:
    Backend(VirtualTimerHost& host, IntervalTimer& owner)
        : m_host(&host), m_owner(owner), m_serial(host.m_nextSerial++) {
        host.m_backends.push_back(this);
    }
    ~Backend() override {
        if (m_host) {
            std::erase(m_host->m_backends, this);
        }
    }
    void start(int ms) override {
        m_period = ms;
        m_due = (m_host ? m_host->m_now : 0) + ms;
        m_running = true;
    }
    void stop() override { m_running = false; }

    VirtualTimerHost* m_host;
    IntervalTimer& m_owner;
    std::uint64_t m_serial;
    std::int64_t m_due = 0;
    int m_period = 0;
    bool m_running = false;
};

VirtualTimerHost::~VirtualTimerHost() {
    for (Backend* b : m_backends) {
        b->m_host = nullptr;
    }
}

std::unique_ptr<TimerBackend> VirtualTimerHost::createBackend(IntervalTimer& timer) {
    return std::make_unique<Backend>(*this, timer);
}

void VirtualTimerHost::advance(std::int64_t ms) {
    advanceTo(m_now + ms);
}

void VirtualTimerHost::advanceTo(std::int64_t time) {
    for (;;) {
        Backend* next = nullptr;
        for (Backend* b : m_backends) {
            if (!b->m_running || b->m_due > time) {
                continue;
            }
            if (!next || b->m_due < next->m_due ||
                (b->m_due == next->m_due && b->m_serial < next->m_serial)) {
                next = b;
            }
        }
        if (!next) {
            break;
        }
        m_now = std::max(m_now, next->m_due);
        // Reschedule before the tick so the handler may stop or restart it.
        next->m_due = m_now + next->m_period;
        next->m_owner.fire();
    }
    m_now = std::max(m_now, time);
}

int VirtualTimerHost::activeTimers() const {
    return static_cast<int>(std::count_if(m_backends.begin(), m_backends.end(),
                                          [](Backend* b) { return b->m_running; }));
}

} // namespace sylvaro::core
