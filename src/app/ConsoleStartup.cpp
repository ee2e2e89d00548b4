#include "ConsoleStartup.h"

#include "BackgroundChannels.h"
#include "ClockAlarmPanel.h"
#include "ConsoleColours.h"
#include "ConsoleWindow.h"
#include "PictureArea.h"
#include "RandomSounds.h"
#include "ScenePanel.h"
#include "SettingsBinding.h"
#include "VolumeControls.h"
#include "core/Dialogs.h"
#include "core/Text.h"
#include "engine/SoundEngine.h"
#include "widgets/TrackSlider.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace sylvaro::app {

using engine::catalogue::backgroundIndex;

const QString ConsoleStartup::kStartupFailedText = QStringLiteral(
    "Unable to initialise DirectSound8, please ensure you have Directx8.0 or later.");
const QString ConsoleStartup::kStartupFailedTitle = QStringLiteral("Fatal Error");
const QString ConsoleStartup::kExitText = QStringLiteral(" Are you sure? ");
const QString ConsoleStartup::kExitTitle = QStringLiteral("Confirm Quit");

ConsoleStartup::ConsoleStartup(ConsoleWindow& window)
    : m_window(window),
      m_startupTimer(
          window.services().timers, [this] { startupStep(); }, kStartupIntervalMs, true),
      m_resumeTimer(
          window.services().timers, [this] { onResumeTick(); }, kResumeIntervalMs, false) {}

void ConsoleStartup::load() {
    const Services& s = m_window.services();
    RandomSounds* random = m_window.randomSounds();
    if (auto names = settings::readCustom(s.appDir.file(settings::kCustomFile))) {
        m_window.customNames() = *names;
    }
    random->scheduler().timer(2, 17).setEnabled(false);
    random->showBank(1);
    m_window.picture()->showPicture(
        s.appDir.file(QStringLiteral("images"), QStringLiteral("english fence.jpg")));
    random->setAll(persist::kFrequencyOff);
    alarm::AlarmClock& alarm = m_window.clockAlarm()->alarmClock();
    alarm.checkTimer().setEnabled(true);
    alarm.showTime();
    for (int channel = 1; channel <= 3; ++channel) {
        m_window.backgroundChannels()->setValue(channel, 0);
    }
    m_window.volumes()->backgroundSlider()->setEnabled(false);
    m_window.volumes()->randomSlider()->setEnabled(false);
    random->setBankSlidersEnabled(1, false);
    random->setBankTimersEnabled(1, false);
    m_window.engine().enumerateDevices();
    QCoreApplication::processEvents();
    colours::syncBank2(m_window);
    m_resumeTimer.setEnabled(true);
}

void ConsoleStartup::setControlsEnabled(bool enabled) {
    VolumeControls* v = m_window.volumes();
    m_window.fileMenu()->menuAction()->setEnabled(enabled);
    v->backgroundSlider()->setEnabled(enabled);
    v->allSoundsSlider()->setEnabled(enabled);
    v->randomSlider()->setEnabled(enabled);
    m_window.backgroundChannels()->setBoxesEnabled(enabled);
    m_window.randomSounds()->setBankSlidersEnabled(1, enabled);
}

void ConsoleStartup::startupStep() {
    engine::SoundEngine& engine = m_window.engine();
    VolumeControls* volumes = m_window.volumes();

    for (QMenu* menu : {m_window.helpMenu(), m_window.optionsMenu(), m_window.alarmMenu()}) {
        menu->menuAction()->setEnabled(true);
    }
    m_window.clockAlarm()->alarmBox()->setText(QStringLiteral("00:00"));
    volumes->loudButton()->setVisible(false);
    for (int bank = 1; bank <= 2; ++bank) {
        m_window.randomSounds()->bankButton(bank)->setEnabled(true);
    }

    if (auto saved =
            settings::readConsole(m_window.services().appDir.file(settings::kConsoleFile))) {
        settings::apply(m_window, *saved);
        setStartVolumes(saved->randomVolume, saved->backgroundVolume);
    } else {
        setStartVolumes(0, 0);
    }

    setControlsEnabled(false);
    engine.setReady(false);
    m_window.randomSounds()->setBankTimersEnabled(1, false);
    colours::syncBank2(m_window);

    QListWidget* list = m_window.deviceList();
    list->clear();
    for (const std::string& description : engine.enumerateDevices()) {
        list->addItem(core::toQString(description));
    }
    list->setCurrentRow(0);
    QCoreApplication::processEvents();

    m_window.enableConsoleButton()->setVisible(false);
    list->setVisible(false);
    setControlsEnabled(true);
    m_window.resetButton()->setEnabled(true);
    m_window.resetButton()->setVisible(true);
    for (QWidget* button : m_window.scenePanel()->findChildren<QToolButton*>()) {
        button->setEnabled(true);
    }
    volumes->muteButton()->setVisible(true);
    volumes->muteButton()->setEnabled(true);

    std::string error;
    if (!openEngine(error)) {
        fail(error);
        return;
    }
    engine.setReady(true);
    m_startupTimer.setEnabled(false);
    if (m_resumeDue) {
        resume();
    }
}

bool ConsoleStartup::openEngine(std::string& error) {
    engine::SoundEngine& engine = m_window.engine();
    VolumeControls* volumes = m_window.volumes();
    // The device list always opens its first entry: the user never chooses.
    if (!engine.openDevice(m_window.deviceList()->currentRow(), error)) {
        return false;
    }
    if (!engine.createBuffers(m_window.services().appDir.path().toStdString(), error)) {
        return false;
    }
    // Background 15 and bank 1 slot 0 keep their own volume here.
    for (int channel = 1; channel < engine::kBackgroundCount; ++channel) {
        engine.setVolume(backgroundIndex(channel), volumes->backgroundSlider()->value());
    }
    const int leafBorer = engine::catalogue::randomIndex(1, 0);
    for (int buffer : engine::catalogue::groupMembers(engine::kRandomGroup)) {
        if (buffer != leafBorer) {
            engine.setVolume(buffer, volumes->randomSlider()->value());
        }
    }
    volumes->randomSlider()->setValue(m_startRandomVolume);
    volumes->backgroundSlider()->setValue(m_startBackgroundVolume);
    if (!engine.hasBuffer(backgroundIndex(1))) {
        error = "the first background sound was not created";
        return false;
    }
    return true;
}

void ConsoleStartup::fail(const std::string& reason) {
    // No new attempt while the message is open; the next one comes a full
    // interval after it closes.
    m_startupTimer.setEnabled(false);
    m_window.engine().setReady(false);
    core::MessageRequest request{kStartupFailedText, kStartupFailedTitle, core::MessageButtons::Ok,
                                 core::MessageIcon::Error, core::toQString(reason)};
    m_window.services().dialogs.message(request);
    m_startupTimer.setEnabled(true);
}

void ConsoleStartup::startNow() {
    if (m_startupTimer.isEnabled()) {
        startupStep();
    }
}

void ConsoleStartup::onResumeTick() {
    m_resumeTimer.setEnabled(false);
    // The saved mix can only resume once its buffers exist.
    if (m_window.engine().isReady()) {
        resume();
    } else {
        m_resumeDue = true;
    }
}

void ConsoleStartup::resume() {
    m_resumeDue = false;
    m_resumed = true;
    const Services& s = m_window.services();
    RandomSounds* random = m_window.randomSounds();
    for (int slot = 0; slot < random::kSlots; ++slot) {
        if (random->slider(1, slot)->value() < persist::kFrequencyOff) {
            random->scheduler().timer(1, slot).setEnabled(true);
        }
    }
    for (int channel : engine::catalogue::resumeOrder()) {
        if (m_window.backgroundChannels()->value(channel) != 1) {
            continue;
        }
        m_window.picture()->showPicture(
            s.appDir.file(QStringLiteral("images"),
                          core::toQString(engine::catalogue::backgroundPicture(channel))));
        m_window.engine().play(backgroundIndex(channel), true);
    }
    const QString& picture = m_window.customNames().picture;
    if (core::AppDir::isBareFileName(picture)) {
        m_window.picture()->showPicture(s.appDir.file(QStringLiteral("images"), picture));
    }
}

void ConsoleStartup::exit() {
    const core::MessageRequest request{
        kExitText, kExitTitle, core::MessageButtons::OkCancel, core::MessageIcon::None, {}};
    if (m_window.services().dialogs.message(request) != core::MessageAnswer::Ok) {
        return;
    }
    shutdown();
    m_window.close();
}

void ConsoleStartup::shutdown() {
    engine::SoundEngine& engine = m_window.engine();
    engine.releaseBuffer(backgroundIndex(1));
    engine.releaseDevice();
    settings::writeBoth(m_window);
}

} // namespace sylvaro::app
