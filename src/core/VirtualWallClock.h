#pragma once

#include "VirtualTimerHost.h"
#include "WallClock.h"

namespace sylvaro::core {

// A wall clock that starts at a given local time and follows virtual time.
class VirtualWallClock final : public WallClock {
public:
    VirtualWallClock(const VirtualTimerHost& host, QDateTime start)
        : m_host(host), m_start(std::move(start)), m_origin(host.now()) {}

    QDateTime localNow() const override { return m_start.addMSecs(m_host.now() - m_origin); }
    void set(QDateTime start) {
        m_start = std::move(start);
        m_origin = m_host.now();
    }

private:
    const VirtualTimerHost& m_host;
    QDateTime m_start;
    std::int64_t m_origin;
};

} // namespace sylvaro::core
