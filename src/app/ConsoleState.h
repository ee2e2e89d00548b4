#pragma once

#include "console/StoredColour.h"
#include "persist/ConsoleSettings.h"
#include "persist/MixFile.h"

#include <QString>

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

namespace sylvaro::panels {
class BackgroundChannels;
class ClockAlarmPanel;
class PictureArea;
class RandomSounds;
class VolumeControls;
} // namespace sylvaro::panels

namespace sylvaro::app {

class CustomLink;

// The panels whose controls together are the console's state.
struct ConsolePanels {
    QWidget& surface;
    panels::BackgroundChannels& channels;
    panels::VolumeControls& volumes;
    panels::RandomSounds& random;
    panels::ClockAlarmPanel& clock;
    panels::PictureArea& picture;
    custom::CustomChannels& custom;
};

// The console's state as a whole: collects it into a record or a whole mix
// (alarm, custom names, picture and panel included) and applies a record, a
// mix, a scene or a reset by calling the panels' own verbs, each in the order
// that decides which handlers run. Holds the console's two colours.
// UI thread only.
class ConsoleState {
public:
    ConsoleState(ConsolePanels panels, const core::AppDir& dir, core::Dialogs& dialogs);

    persist::ConsoleSettings capture() const;
    // settings.ini's order: bank 2 sliders, enable boxes, colours, bank 1
    // sliders, the all-sounds slider. The two group volumes wait for the
    // buffers and are the caller's.
    void restoreSettings(const persist::ConsoleSettings& settings);
    // The whole console as a mix: the alarm's real state, so a mix says
    // whether it was on, and the custom sounds with their panel.
    persist::MixFile captureMix() const;
    // A whole mix: the old custom sounds stop and the mix's are read, its
    // picture shows, then the controls in the mix's order and the alarm.
    void applyMix(const persist::MixFile& mix);
    // Every scene but one switches the custom channels off first.
    void applyScene(const scenes::Scene& scene);
    // The custom sounds' link: it switches the custom channels off, follows
    // the console's colours and holds the custom panel a mix includes.
    void attachCustom(CustomLink& custom) { m_custom = &custom; }
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
    // A mix's console part in the mix's order: bank 1 sliders with the
    // random and all-sounds sliders, the background slider, bank 2, the
    // alarm time, the background colour, the enable boxes, the text colour.
    void applyMixControls(const persist::ConsoleSettings& settings, const QString& alarmTime);
    void applyLook();

    ConsolePanels m_panels;
    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    std::int32_t m_back = console::kSystemButtonFace;
    std::int32_t m_text = console::kSystemButtonText;
    CustomLink* m_custom = nullptr;
};

} // namespace sylvaro::app
