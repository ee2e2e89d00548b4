#pragma once

#include "core/IntervalTimer.h"

#include <QObject>

namespace sylvaro::engine {
class AudioOutput;
}

namespace sylvaro::program {

// Tells the sound output whether someone is at the console: from a touch of
// the mouse, the wheel or a key in any of the program's windows until
// kIdleMs pass without one. A click comes after the pointer has moved onto
// the control, so the output has turned quick by the time the change comes;
// a soundscape left to play on its own lets the system sleep more. UI thread
// only; install it on the application.
class PresenceWatch : public QObject {
public:
    PresenceWatch(core::TimerHost& timers, engine::AudioOutput& output,
                  QObject* parent = nullptr);

    static constexpr int kIdleMs = 30000;
    bool present() const { return m_present; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();

    engine::AudioOutput& m_output;
    core::IntervalTimer m_idle;
    // Someone was at the console when the program started.
    bool m_present = true;
    bool m_touched = false;
};

} // namespace sylvaro::program
