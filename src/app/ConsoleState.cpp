#include "ConsoleState.h"

#include "CustomLink.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/Text.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "panels/BackgroundChannels.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/PictureArea.h"
#include "panels/RandomSounds.h"
#include "panels/VolumeControls.h"
#include "scenes/SceneTable.h"
#include "widgets/StoredColour.h"
#include "widgets/TrackSlider.h"

#include <QLineEdit>
#include <QWidget>

namespace sylvaro::app {

namespace {
const QString kAlarmOn = QStringLiteral("ON");
const QString kAlarmOff = QStringLiteral("OFF");
} // namespace

const QString ConsoleState::kResetText =
    QStringLiteral(" This will reset all background and random sounds. Are you sure? ");
const QString ConsoleState::kResetTitle = QStringLiteral("Confirm Reset");

ConsoleState::ConsoleState(ConsolePanels panels, const core::AppDir& dir, core::Dialogs& dialogs)
    : m_panels(panels), m_dir(dir), m_dialogs(dialogs) {}

persist::ConsoleSettings ConsoleState::capture() const {
    persist::ConsoleSettings s;
    s.backColour = m_back;
    s.textColour = m_text;
    m_panels.random.saveTo(s);
    m_panels.volumes.saveTo(s);
    m_panels.channels.saveTo(s);
    return s;
}

void ConsoleState::restoreSettings(const persist::ConsoleSettings& s) {
    m_panels.random.restoreBank(2, s);
    m_panels.channels.restoreFrom(s);
    m_back = s.backColour;
    m_text = s.textColour;
    applyLook();
    m_panels.random.restoreBank(1, s);
    m_panels.volumes.restoreAllSounds(s);
}

persist::MixFile ConsoleState::captureMix() const {
    persist::MixFile mix;
    mix.console = capture();
    mix.alarmTime = m_panels.clock.alarmBox()->text();
    mix.alarmState = m_panels.clock.alarmClock().isOn() ? kAlarmOn : kAlarmOff;
    mix.names = m_panels.custom.names();
    mix.panel = m_custom->panel().capture();
    return mix;
}

void ConsoleState::applyMix(const persist::MixFile& mix) {
    custom::CustomChannels& channels = m_panels.custom;
    // What played of the old custom sounds stops; the names are the mix's.
    channels.releaseAll();
    channels.setNames(mix.names);
    if (!mix.names.picture.isEmpty()) {
        showPicture(mix.names.picture);
    }
    m_custom->panel().apply(mix.panel);
    applyMixControls(mix.console, mix.alarmTime);
    // Ticked custom backgrounds start from their new files once read.
    m_custom->setUp(CustomLink::kMixMissingText);
    if (mix.alarmState == kAlarmOn) {
        m_panels.clock.alarmOn();
    } else if (mix.alarmState == kAlarmOff) {
        // Like "Alarm Off": a ringing alarm stops too.
        m_panels.clock.alarmOff();
    }
    m_panels.volumes.reapplyRandom();
}

void ConsoleState::applyMixControls(const persist::ConsoleSettings& s, const QString& alarmTime) {
    m_panels.random.restoreBank(1, s);
    m_panels.volumes.randomSlider()->setValue(s.randomVolume);
    m_panels.volumes.restoreAllSounds(s);
    m_panels.volumes.backgroundSlider()->setValue(s.backgroundVolume);
    m_panels.random.restoreBank(2, s);
    m_panels.clock.alarmBox()->setText(alarmTime);
    m_back = s.backColour;
    m_panels.channels.restoreFrom(s);
    m_text = s.textColour;
    applyLook();
    m_panels.random.paintBank2(m_text);
}

void ConsoleState::applyScene(const scenes::Scene& scene) {
    if (scene.resetsCustom && m_custom) {
        m_custom->switchOff();
    }
    m_back = console::toStored(scene.background);
    m_text = console::toStored(scene.text);
    applyLook();
    m_panels.volumes.setGroupVolumes(scene.randomVolume, scene.backgroundVolume);
    m_panels.random.applyScene(scene);
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        m_panels.channels.setValue(channel,
                                   scene.boxOn(channel) ? console::kBoxTicked : console::kBoxClear);
    }
    showPicture(core::toQString(scene.picture));
}

bool ConsoleState::reset() {
    const core::MessageRequest request{
        kResetText, kResetTitle, core::MessageButtons::OkCancel, core::MessageIcon::None, {}};
    if (m_dialogs.message(request) != core::MessageAnswer::Ok) {
        return false;
    }
    m_panels.channels.clearAll();
    m_panels.random.clearAll();
    return true;
}

void ConsoleState::setBackColour(std::int32_t back) {
    m_back = back;
    applyLook();
}

void ConsoleState::setTextColour(std::int32_t text) {
    m_text = text;
    applyLook();
}

void ConsoleState::chooseBackColour() {
    setBackColour(console::toStored(m_dialogs.chooseColour()));
}

void ConsoleState::chooseTextColour() {
    const std::int32_t text = console::toStored(m_dialogs.chooseColour());
    m_panels.random.paintBank2(text);
    setTextColour(text);
}

void ConsoleState::applyLook() {
    m_panels.surface.setAutoFillBackground(true);
    widgets::paintRole(&m_panels.surface, QPalette::Window, m_back);
    m_panels.channels.applyLook(m_back, m_text);
    m_panels.volumes.applyLook(m_back, m_text);
    m_panels.random.applyLook(m_back, m_text);
    m_panels.clock.applyLook(m_back, m_text);
    if (m_custom) {
        m_custom->followLook();
    }
}

bool ConsoleState::showPicture(const QString& name) {
    return core::AppDir::isBareFileName(name) &&
           m_panels.picture.showPicture(m_dir.userFile(QStringLiteral("images"), name));
}

} // namespace sylvaro::app
