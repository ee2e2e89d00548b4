#include "KeepAwake.h"

#include "panels/BackgroundChannels.h"
#include "panels/ClockAlarmPanel.h"
#include "app/ConsoleLifecycle.h"
#include "app/ConsoleMenus.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/ControlWatch.h"
#include "panels/OutputPause.h"
#include "panels/RandomSounds.h"
#include "SuspendInhibitor.h"
#include "alarm/AlarmClock.h"
#include "console/Layout.h"
#include "custom/CustomChannels.h"
#include "widgets/TrackSlider.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>

namespace sylvaro::program {

using app::ConsoleLifecycle;
using app::ConsolePanels;
using app::ConsoleWindow;
using app::ControlWatch;
using panels::ClockAlarmPanel;
using panels::OutputPause;

const QString KeepAwake::kSettingsKey = QStringLiteral("Options/Keep Computer Awake");
const QString KeepAwake::kPlayingReason = QStringLiteral("Playing a soundscape");

namespace {
// What the alarm box holds, as the reason shows it: the hours and minutes of
// a time, else the text itself, kept short.
QString alarmTime(const QString& text) {
    static constexpr int kShown = 20;
    return text.size() >= 5 && text[2] == QLatin1Char(':') ? text.left(5)
                                                           : text.trimmed().left(kShown);
}
} // namespace

KeepAwake::KeepAwake(ConsoleWindow& console, std::unique_ptr<SuspendInhibitor> inhibitor,
                     QObject* parent)
    : QObject(parent), m_console(console), m_inhibitor(std::move(inhibitor)),
      m_option(console.menus().optionsMenu()->addAction(
          QStringLiteral("Keep the Computer Awake While Playing"))) {
    m_option->setObjectName(QStringLiteral("mnuKeepAwake"));
    m_option->setCheckable(true);
    m_option->setChecked(true);
    connect(m_option, &QAction::triggered, this, [this](bool on) {
        if (m_settings) {
            m_settings->setValue(kSettingsKey, on);
        }
        refresh();
    });
    // Every way the mix, the pause or the alarm changes; the clock's second
    // catches what the program changes by itself (a resumed mix, a loaded one).
    connect(&console.controlWatch(), &ControlWatch::anyChange, this, &KeepAwake::refresh);
    connect(&console.output(), &OutputPause::changed, this, &KeepAwake::refresh);
    connect(&console.lifecycle(), &ConsoleLifecycle::resumed, this, &KeepAwake::refresh);
    connect(&console.panels().clock, &ClockAlarmPanel::secondTicked, this, &KeepAwake::refresh);
    for (const QString& entry : {QStringLiteral("mnuAlarmOn"), QStringLiteral("mnuAlarmOff")}) {
        connect(console.menus().action(entry), &QAction::toggled, this, &KeepAwake::refresh);
    }
    for (int n = 1; n <= custom::CustomChannels::kBackgrounds; ++n) {
        connect(console.panels().custom.enableBox(n), &QCheckBox::toggled, this,
                &KeepAwake::refresh);
    }
    refresh();
}

KeepAwake::~KeepAwake() = default;

void KeepAwake::setSettings(QSettings* settings) {
    m_settings = settings;
    if (m_settings) {
        m_option->setChecked(m_settings->value(kSettingsKey, true).toBool());
    }
    refresh();
}

bool KeepAwake::isPlaying() const {
    if (!m_console.lifecycle().isStarted() || m_console.output().isPaused()) {
        return false;
    }
    ConsolePanels& panels = m_console.panels();
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        if (panels.channels.value(channel) == console::kBoxTicked) {
            return true;
        }
    }
    // The bank not shown goes on firing.
    for (int bank = 1; bank <= console::kBanks; ++bank) {
        for (int slot = 0; slot < console::kSlots; ++slot) {
            if (panels.random.slider(bank, slot)->value() < console::kFrequencyOff) {
                return true;
            }
        }
    }
    const custom::CustomChannels& own = panels.custom;
    for (int n = 1; n <= custom::CustomChannels::kBackgrounds; ++n) {
        if (own.enableBox(n)->isChecked()) {
            return true;
        }
    }
    for (int n = 1; n <= custom::CustomChannels::kRandoms; ++n) {
        const std::optional<QString>& name = own.names().random[static_cast<std::size_t>(n - 1)];
        if (own.frequency(n) < console::kFrequencyOff && name && !name->isEmpty()) {
            return true;
        }
    }
    return false;
}

QString KeepAwake::reason() const {
    if (!m_option->isChecked()) {
        return {};
    }
    if (isPlaying()) {
        return kPlayingReason;
    }
    ClockAlarmPanel& clock = m_console.panels().clock;
    if (clock.alarmClock().isOn()) {
        return QStringLiteral("An alarm is set for %1").arg(alarmTime(clock.alarmBox()->text()));
    }
    return {};
}

void KeepAwake::refresh() {
    m_inhibitor->setReason(reason());
}

} // namespace sylvaro::program
