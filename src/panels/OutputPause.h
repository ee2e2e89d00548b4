#pragma once

#include <QObject>

namespace sylvaro::engine {
class SoundEngine;
}

namespace sylvaro::panels {

// The console's output as a whole: playing or paused, and the level a sleep
// fade has brought it to. The one owner of the engine's master volume, so
// the controls and the buffers' own volumes never change; the alarm rings
// outside it. Every change glides, so nothing clicks. UI thread only.
class OutputPause : public QObject {
    Q_OBJECT
public:
    enum class Reason { None, User, SleepEnded };

    explicit OutputPause(engine::SoundEngine& engine, QObject* parent = nullptr);

    bool isPaused() const { return m_reason != Reason::None; }
    Reason reason() const { return m_reason; }
    // A pause while paused keeps the first reason, except that the sleep
    // timer's end is always told.
    void pause(Reason reason = Reason::User);
    // Back to playing; after the sleep timer's end at full level, otherwise
    // at the level the fade had reached.
    void resume();
    void toggle();

    // The fade's level in hundredths of a dB (0 full, -10000 silent), gliding
    // there over `glideMs`; heard once not paused.
    void setLevel(int hundredthsDb, int glideMs);
    int level() const { return m_level; }

    static constexpr int kPauseGlideMs = 300;
    static constexpr int kResumeGlideMs = 300;

Q_SIGNALS:
    // Paused or resumed.
    void changed();

private:
    void apply(int glideMs);

    engine::SoundEngine& m_engine;
    Reason m_reason = Reason::None;
    int m_level = 0;
};

} // namespace sylvaro::panels
