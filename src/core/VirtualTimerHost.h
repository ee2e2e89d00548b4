#pragma once

#include "TimerHost.h"

#include <cstdint>
#include <vector>

namespace sylvaro::core {

// Virtual time for tests: nothing happens until advance(), which fires every
// due tick in time order (ties in creation order). A tick may itself call
// advance() - a scripted dialog that "stays open" for a while does - and
// other timers fire meanwhile, as they would behind a real modal box.
class VirtualTimerHost final : public TimerHost {
public:
    VirtualTimerHost() = default;
    ~VirtualTimerHost() override;
    VirtualTimerHost(const VirtualTimerHost&) = delete;
    VirtualTimerHost& operator=(const VirtualTimerHost&) = delete;

    std::unique_ptr<TimerBackend> createBackend(IntervalTimer& timer) override;

    std::int64_t now() const { return m_now; }
    void advance(std::int64_t ms);
    void advanceTo(std::int64_t time);
    int activeTimers() const;

private:
    class Backend;
    friend class Backend;

    std::int64_t m_now = 0;
    std::uint64_t m_nextSerial = 0;
    std::vector<Backend*> m_backends;
};

} // namespace sylvaro::core
