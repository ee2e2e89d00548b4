#include "QtTimerHost.h"

#include "IntervalTimer.h"

#include <QTimer>

namespace sylvaro::core {

namespace {

class QtTimerBackend final : public TimerBackend {
public:
    explicit QtTimerBackend(IntervalTimer& owner) {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [&owner] { owner.fire(); });
    }
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};

} // namespace

std::unique_ptr<TimerBackend> QtTimerHost::createBackend(IntervalTimer& timer) {
    return std::make_unique<QtTimerBackend>(timer);
}

} // namespace sylvaro::core
