#pragma once

#include "console/StoredColour.h"
#include "persist/ConsoleSettings.h"

#include <QString>
#include <functional>

class QWidget;

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core
namespace sylvaro::custom {
class CustomChannels;
}
namespace sylvaro::scenes {
struct Scene;
}

namespace sylvaro::app {

class BackgroundChannels;
class ClockAlarmPanel;
class PictureArea;
class RandomSounds;
class VolumeControls;

// The panels whose controls together are the console's state.
struct ConsolePanels {
    QWidget& surface;
    BackgroundChannels& channels;
    VolumeControls& volumes;
    RandomSounds& random;
    ClockAlarmPanel& clock;
    PictureArea& picture;
    custom::CustomChannels& custom;
};

// The console's state as a whole: collects it into a record and applies a
// record, a scene or a reset by calling the panels' own verbs, each in the
// order that decides which handlers run. Holds the console's two colours.
// UI thread only.
class ConsoleState {
public:
    ConsoleState(ConsolePanels panels, const core::AppDir& dir, core::Dialogs& dialogs);

    persist::ConsoleSettings capture() const;
    // settings.ini's order: bank 2 sliders, enable boxes, colours, bank 1
    // sliders, the all-sounds slider. The two group volumes wait for the
    // buffers and are the caller's.
    void restoreSettings(const persist::ConsoleSettings& settings);
    // A mix's console part in the mix's order: bank 1 sliders with the
    // random and all-sounds sliders, the background slider, bank 2, the
    // alarm time, the background colour, the enable boxes, the text colour.
    void applyMix(const persist::ConsoleSettings& settings, const QString& alarmTime);
    // Every scene but one switches the custom channels off first.
    void applyScene(const scenes::Scene& scene);
    // Called whenever the console's colours change (windows that copy them).
    void setLookFollower(std::function<void()> follow) { m_lookFollower = std::move(follow); }
    // How the console switches the custom channels off (the custom panel's).
    void setCustomSwitchOff(std::function<void()> switchOff) {
        m_switchOffCustom = std::move(switchOff);
    }
    // Switches every built-in channel off after asking; false when the user
    // said no.
    bool reset();

    std::int32_t backColour() const { return m_back; }
    std::int32_t textColour() const { return m_text; }
    void setBackColour(std::int32_t back);
    void setTextColour(std::int32_t text);
    // The colour dialog's answer becomes the console's colour.
    void chooseBackColour();
    void chooseTextColour();

    // A picture from images/ (the user's own first); false (and the old one
    // kept) when it cannot be shown.
    bool showPicture(const QString& name);

    ConsolePanels& panels() { return m_panels; }

    static const QString kResetText;
    static const QString kResetTitle;

private:
    void applyLook();

    ConsolePanels m_panels;
    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    std::int32_t m_back = console::kSystemButtonFace;
    std::int32_t m_text = console::kSystemButtonText;
    std::function<void()> m_switchOffCustom;
    std::function<void()> m_lookFollower;
};

} // namespace sylvaro::app
