#pragma once

#include "core/IntervalTimer.h"

#include <QString>
#include <string>

namespace sylvaro::app {

class ConsoleWindow;

// Brings the sound engine up and down in the console's three start-up stages:
// the load handler, the start-up step (opens the device and creates every
// buffer, retrying after a failure) and the resume step (replays the ticked
// background channels), plus Exit and the shutdown routine. UI thread only.
class ConsoleStartup {
public:
    explicit ConsoleStartup(ConsoleWindow& window);

    void load();
    void startupStep();
    // "Enable Console": run the start-up step now instead of waiting.
    void startNow();
    void exit();
    void shutdown();

    core::IntervalTimer& startupTimer() { return m_startupTimer; }
    core::IntervalTimer& resumeTimer() { return m_resumeTimer; }
    bool hasResumed() const { return m_resumed; }

    static const QString kStartupFailedText;
    static const QString kStartupFailedTitle;
    static const QString kExitText;
    static const QString kExitTitle;
    static constexpr int kStartupIntervalMs = 3000;
    static constexpr int kResumeIntervalMs = 2500;

private:
    bool openEngine(std::string& error);
    void fail(const std::string& reason);
    void onResumeTick();
    void resume();
    void setControlsEnabled(bool enabled);
    // The group volumes the start-up step applies last: the saved ones, or 0.
    void setStartVolumes(int random, int background) {
        m_startRandomVolume = random;
        m_startBackgroundVolume = background;
    }

    ConsoleWindow& m_window;
    core::IntervalTimer m_startupTimer;
    core::IntervalTimer m_resumeTimer;
    bool m_resumeDue = false;
    bool m_resumed = false;
    int m_startRandomVolume = 0;
    int m_startBackgroundVolume = 0;
};

} // namespace sylvaro::app
