#pragma once

#include "core/IntervalTimer.h"
#include "persist/ConsoleSettings.h"
#include "persist/LineCodec.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace sylvaro::core {
class AppDir;
class Dialogs;
class TimerHost;
} // namespace sylvaro::core
namespace sylvaro::engine {
class SoundEngine;
}

namespace sylvaro::panels {
class CatalogueSounds;
class DevicePanel;
class ScenePanel;
} // namespace sylvaro::panels

namespace sylvaro::app {

class ConsoleMenus;
class ConsoleState;
class CustomLink;
class SettingsFiles;

// What the console's run needs to bring itself up and down.
struct LifecycleParts {
    const core::AppDir& dir;
    core::TimerHost& timers;
    core::Dialogs& dialogs;
    engine::SoundEngine& engine;
    panels::CatalogueSounds& sounds;
    ConsoleState& state;
    ConsoleMenus& menus;
    panels::ScenePanel& scenes;
    panels::DevicePanel& devices;
    SettingsFiles& files;
    CustomLink& custom;
};

// The console's one lifecycle: load → starting ⇄ failed → started → resumed
// → closing. Every step (the load handler, the start-up step that opens the
// device and creates the buffers, the resume step that replays the saved
// mix, Exit and the shutdown routine) runs through here, one at a time: a
// request that arrives while a step runs - a click, a tick, a close while a
// message box is open - waits until that step has ended and is then handled
// or dropped by the phase it finds. A close is deferred, never lost.
// UI thread only.
class ConsoleLifecycle : public QObject {
    Q_OBJECT
public:
    enum class Phase { Created, Loaded, Starting, Failed, Started, Resumed, Closed };

    explicit ConsoleLifecycle(LifecycleParts parts, QObject* parent = nullptr);
    ~ConsoleLifecycle() override;

    Phase phase() const { return m_phase; }
    bool isStarted() const { return m_phase == Phase::Started || m_phase == Phase::Resumed; }
    bool hasResumed() const { return m_phase == Phase::Resumed; }

    // The console's load handler; call once after construction.
    void load();
    // Runs `window`, a modal window that belongs to the load (the start-up
    // information window), as the load's end: the resume step's countdown
    // starts again when it closes, so the saved mix never starts under it.
    // The start-up step goes on meanwhile.
    void endLoadWith(const std::function<void()>& window);
    // "Enable Console": the start-up step now instead of at its tick.
    void enableConsole();
    // "Exit": asks, then shuts down and closes the window.
    void requestExit();
    // The window is closing (window manager, logout, a signal): runs the
    // shutdown routine without asking. False when a step is running: the
    // close then waits for it and comes back through `closeWindow`.
    bool handleClose();

    // How the console closes its window (which comes back to handleClose).
    void setCloseWindow(std::function<void()> closeWindow) {
        m_closeWindow = std::move(closeWindow);
    }
    // Runs first at every shutdown: puts back what was changed for a while
    // (a slider turned down during a playback), so the files hold the
    // user's own values.
    void addShutdownHook(std::function<void()> hook) { m_shutdownHooks.push_back(std::move(hook)); }
    // A window that writes a file of its own as it goes with the console
    // (the recorder's settings9.txt): runs after the hooks, and what it could
    // not write joins the shutdown's one report.
    void addShutdownWrite(std::function<std::optional<persist::WriteFailure>()> write) {
        m_shutdownWrites.push_back(std::move(write));
    }

    core::IntervalTimer& startupTimer() { return m_startupTimer; }
    core::IntervalTimer& resumeTimer() { return m_resumeTimer; }

    static const QString kStartupFailedText;
    static const QString kStartupFailedTitle;
    static const QString kExitText;
    static const QString kExitTitle;
    static constexpr int kStartupIntervalMs = 3000;
    static constexpr int kResumeIntervalMs = 2500;

Q_SIGNALS:
    // The load step has run; modal windows of the console's load open from
    // here (through endLoadWith), so they never hold back the start-up step.
    void loaded();
    // The saved mix has resumed: the console is the user's from here on.
    void resumed();

private:
    enum class Request { Load, StartupTick, EnableConsole, ResumeTick, Exit, Close };

    void request(Request r);
    void run(Request r);
    void loadStep();
    void startupStep();
    bool openEngine(std::string& error);
    void fail(const std::string& reason);
    void resumeTick();
    void resume();
    void exitStep();
    void shutdown();
    void setStarted(bool started);
    void enableControls(bool enabled);

    LifecycleParts m_parts;
    Phase m_phase = Phase::Created;
    bool m_busy = false;
    std::deque<Request> m_waiting;
    bool m_resumeDue = false;
    int m_startRandomVolume = 0;
    int m_startBackgroundVolume = 0;
    std::function<void()> m_closeWindow;
    std::vector<std::function<void()>> m_shutdownHooks;
    std::vector<std::function<std::optional<persist::WriteFailure>()>> m_shutdownWrites;
    core::IntervalTimer m_startupTimer;
    core::IntervalTimer m_resumeTimer;
};

} // namespace sylvaro::app
