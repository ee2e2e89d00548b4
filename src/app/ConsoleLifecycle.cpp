#include "ConsoleLifecycle.h"

#include "ConsoleMenus.h"
#include "ConsoleState.h"
#include "CustomLink.h"
#include "SettingsFiles.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/Text.h"
#include "custom/CustomChannels.h"
#include "engine/SoundEngine.h"
#include "panels/BackgroundChannels.h"
#include "panels/CatalogueSounds.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/VolumeControls.h"

#include <algorithm>

namespace sylvaro::app {

const QString ConsoleLifecycle::kStartupFailedText = QStringLiteral(
    "Unable to initialise DirectSound8, please ensure you have Directx8.0 or later.");
const QString ConsoleLifecycle::kStartupFailedTitle = QStringLiteral("Fatal Error");
const QString ConsoleLifecycle::kExitText = QStringLiteral(" Are you sure? ");
const QString ConsoleLifecycle::kExitTitle = QStringLiteral("Confirm Quit");

ConsoleLifecycle::ConsoleLifecycle(LifecycleParts parts, QObject* parent)
    : QObject(parent), m_parts(parts),
      m_startupTimer(
          parts.timers, [this] { request(Request::StartupTick); }, kStartupIntervalMs, true),
      m_resumeTimer(
          parts.timers, [this] { request(Request::ResumeTick); }, kResumeIntervalMs, false) {}

ConsoleLifecycle::~ConsoleLifecycle() = default;

void ConsoleLifecycle::load() {
    request(Request::Load);
}

void ConsoleLifecycle::endLoadWith(const std::function<void()>& window) {
    const bool due = m_resumeTimer.isEnabled();
    m_resumeTimer.setEnabled(false);
    window();
    // Closed meanwhile (the program ending), or resumed already: nothing is
    // left to count down.
    if (due && m_phase != Phase::Closed) {
        m_resumeTimer.setEnabled(true);
    }
}

void ConsoleLifecycle::enableConsole() {
    request(Request::EnableConsole);
}

void ConsoleLifecycle::requestExit() {
    request(Request::Exit);
}

bool ConsoleLifecycle::handleClose() {
    if (m_busy) {
        request(Request::Close);
        return false;
    }
    run(Request::Close);
    return true;
}

void ConsoleLifecycle::request(Request r) {
    if (m_busy) {
        // Handled once the running step has ended; asking twice is asking once.
        if (std::find(m_waiting.begin(), m_waiting.end(), r) == m_waiting.end()) {
            m_waiting.push_back(r);
        }
        return;
    }
    run(r);
    while (!m_busy && !m_waiting.empty()) {
        const Request next = m_waiting.front();
        m_waiting.pop_front();
        if (next == Request::Close) {
            // The window closes for real now and comes back to handleClose.
            if (m_closeWindow) {
                m_closeWindow();
            } else {
                run(Request::Close);
            }
        } else {
            run(next);
        }
    }
}

void ConsoleLifecycle::run(Request r) {
    m_busy = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{m_busy};
    const bool canStart =
        m_phase == Phase::Created || m_phase == Phase::Loaded || m_phase == Phase::Failed;
    switch (r) {
    case Request::Load:
        if (m_phase == Phase::Created) {
            loadStep();
        }
        break;
    case Request::StartupTick:
        if (canStart) {
            startupStep();
        }
        break;
    case Request::EnableConsole:
        // After a failure the next attempt waits for the timer.
        if ((m_phase == Phase::Created || m_phase == Phase::Loaded) && m_startupTimer.isEnabled()) {
            startupStep();
        }
        break;
    case Request::ResumeTick:
        if (m_phase != Phase::Closed) {
            resumeTick();
        }
        break;
    case Request::Exit:
        if (m_phase != Phase::Closed) {
            exitStep();
        }
        break;
    case Request::Close:
        shutdown();
        break;
    }
}

void ConsoleLifecycle::loadStep() {
    ConsolePanels& p = m_parts.state.panels();
    if (const std::optional<persist::CustomNames> names = m_parts.files.readCustom()) {
        p.custom.setNames(*names);
    }
    m_parts.custom.enableButtons();
    p.random.prepareForLoad();
    m_parts.state.showPicture(QStringLiteral("english fence.jpg"));
    p.clock.start();
    for (int channel = 1; channel <= 3; ++channel) {
        p.channels.setValue(channel, console::kBoxClear);
    }
    p.volumes.setGroupSlidersEnabled(false);
    m_parts.engine.enumerateDevices();
    p.random.syncBank2();
    m_resumeTimer.setEnabled(true);
    if (m_phase == Phase::Created) {
        m_phase = Phase::Loaded;
    }
    // Outside the step: whatever opens modally here must not hold back
    // the start-up step's tick.
    QMetaObject::invokeMethod(this, &ConsoleLifecycle::loaded, Qt::QueuedConnection);
}

void ConsoleLifecycle::setStarted(bool started) {
    ConsolePanels& p = m_parts.state.panels();
    p.channels.setStarted(started);
    p.volumes.setStarted(started);
}

void ConsoleLifecycle::enableControls(bool enabled) {
    ConsolePanels& p = m_parts.state.panels();
    m_parts.menus.setFileEnabled(enabled);
    p.volumes.setSlidersEnabled(enabled);
    p.channels.setBoxesEnabled(enabled);
    p.random.setBankSlidersEnabled(1, enabled);
}

void ConsoleLifecycle::startupStep() {
    ConsolePanels& p = m_parts.state.panels();
    m_phase = Phase::Starting;
    m_parts.menus.setStarted(true);
    p.clock.resetAlarmTime();
    p.volumes.showMute();
    p.random.setBankButtonsEnabled(true);

    const std::optional<persist::ConsoleSettings> saved = m_parts.files.readConsole();
    if (saved) {
        m_parts.state.restoreSettings(*saved);
        m_startRandomVolume = saved->randomVolume;
        m_startBackgroundVolume = saved->backgroundVolume;
    } else {
        m_startRandomVolume = 0;
        m_startBackgroundVolume = 0;
    }

    enableControls(false);
    setStarted(false);
    p.random.setBankTimersEnabled(1, false);
    p.random.syncBank2();
    m_parts.devices.showDevices(m_parts.engine.enumerateDevices());

    m_parts.devices.hideChoice();
    enableControls(true);
    m_parts.scenes.setStarted(true);
    p.volumes.showMute();

    std::string error;
    if (!openEngine(error)) {
        fail(error);
        return;
    }
    // The user's own sounds come last: their files are read meanwhile, and
    // a ticked custom background starts once its sound is ready.
    m_parts.custom.startUp();
    setStarted(true);
    m_startupTimer.setEnabled(false);
    m_phase = Phase::Started;
    if (m_resumeDue) {
        resume();
    }
}

bool ConsoleLifecycle::openEngine(std::string& error) {
    ConsolePanels& p = m_parts.state.panels();
    // The device list always opens its first entry: the user never chooses.
    if (!m_parts.engine.openDevice(m_parts.devices.selectedDevice(), error)) {
        return false;
    }
    if (!m_parts.sounds.create(m_parts.dir, error)) {
        return false;
    }
    p.volumes.applyStartVolumes();
    p.volumes.setGroupVolumes(m_startRandomVolume, m_startBackgroundVolume);
    if (!m_parts.engine.exists(m_parts.sounds.background(1))) {
        error = "the first background sound was not created";
        return false;
    }
    return true;
}

void ConsoleLifecycle::fail(const std::string& reason) {
    // No new attempt while the message is open; the next one comes a full
    // interval after it closes.
    m_startupTimer.setEnabled(false);
    setStarted(false);
    m_phase = Phase::Failed;
    m_parts.dialogs.message({kStartupFailedText, kStartupFailedTitle, core::MessageButtons::Ok,
                             core::MessageIcon::Error, core::toQString(reason)});
    m_startupTimer.setEnabled(true);
}

void ConsoleLifecycle::resumeTick() {
    m_resumeTimer.setEnabled(false);
    // The saved mix can only resume once its buffers exist.
    if (m_phase == Phase::Started) {
        resume();
    } else if (m_phase != Phase::Resumed) {
        m_resumeDue = true;
    }
}

void ConsoleLifecycle::resume() {
    ConsolePanels& p = m_parts.state.panels();
    m_resumeDue = false;
    m_phase = Phase::Resumed;
    p.random.resume();
    for (std::string_view picture : p.channels.resume()) {
        m_parts.state.showPicture(core::toQString(picture));
    }
    const QString& custom = p.custom.names().picture;
    if (!custom.isEmpty()) {
        m_parts.state.showPicture(custom);
    }
    // Outside the step, like loaded().
    QMetaObject::invokeMethod(this, &ConsoleLifecycle::resumed, Qt::QueuedConnection);
}

void ConsoleLifecycle::exitStep() {
    const core::MessageRequest request{
        kExitText, kExitTitle, core::MessageButtons::OkCancel, core::MessageIcon::None, {}};
    if (m_parts.dialogs.message(request) != core::MessageAnswer::Ok) {
        return;
    }
    shutdown();
    if (m_closeWindow) {
        m_waiting.push_front(Request::Close);
    }
}

void ConsoleLifecycle::shutdown() {
    for (const auto& hook : m_shutdownHooks) {
        hook();
    }
    std::vector<persist::WriteFailure> othersFailed;
    for (const auto& write : m_shutdownWrites) {
        if (std::optional<persist::WriteFailure> failed = write()) {
            othersFailed.push_back(*failed);
        }
    }
    m_startupTimer.setEnabled(false);
    m_resumeTimer.setEnabled(false);
    m_parts.sounds.release(console::catalogue::backgroundIndex(1));
    m_parts.engine.releaseDevice();
    setStarted(false);
    m_phase = Phase::Closed;
    // The files decide what needs writing: only what was read and changed.
    const std::optional<persist::CustomPanelSettings> panel = m_parts.custom.selections();
    m_parts.files.writeAtShutdown(m_parts.state.capture(), m_parts.state.panels().custom.names(),
                                  panel ? &*panel : nullptr, othersFailed);
    // The program's other windows go with the console.
    m_parts.custom.hidePanel();
}

} // namespace sylvaro::app
