#include "OutputPause.h"

#include "engine/SoundEngine.h"

#include <algorithm>

namespace sylvaro::panels {

namespace {
constexpr int kSilent = -10000;
}

OutputPause::OutputPause(engine::SoundEngine& engine, QObject* parent)
    : QObject(parent), m_engine(engine) {
    apply(0);
}

void OutputPause::pause(Reason reason) {
    if (reason == Reason::None || m_reason == reason ||
        (isPaused() && reason != Reason::SleepEnded)) {
        return;
    }
    const bool was = isPaused();
    m_reason = reason;
    if (!was) {
        apply(kPauseGlideMs);
    }
    Q_EMIT changed();
}

void OutputPause::resume() {
    if (!isPaused()) {
        return;
    }
    if (m_reason == Reason::SleepEnded) {
        m_level = 0;
    }
    m_reason = Reason::None;
    apply(kResumeGlideMs);
    Q_EMIT changed();
}

void OutputPause::toggle() {
    if (isPaused()) {
        resume();
    } else {
        pause(Reason::User);
    }
}

void OutputPause::setLevel(int hundredthsDb, int glideMs) {
    m_level = std::clamp(hundredthsDb, kSilent, 0);
    if (!isPaused()) {
        apply(glideMs);
    }
}

void OutputPause::apply(int glideMs) {
    m_engine.setMasterVolume(isPaused() ? kSilent : m_level, glideMs);
}

} // namespace sylvaro::panels
