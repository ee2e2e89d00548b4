#pragma once

#include "persist/ConsoleSettings.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace sylvaro::widgets {
class TrackSlider;
}

namespace sylvaro::panels {

class CatalogueSounds;

// The three group volume sliders and the "Mute" / "Loud" pair. A slider's
// value (-3000..0, hundredths of a dB) goes unchanged to every buffer of its
// group: the background slider on change and drag, the random slider on
// change and drag (a drag leaves the custom random sounds until it ends),
// the all-sounds slider only on drag and only once the console has started.
// Mute turns both labelled sliders down to -3000 and Loud brings back the
// values from before. UI thread only.
class VolumeControls : public QWidget {
    Q_OBJECT
public:
    explicit VolumeControls(CatalogueSounds& sounds, QWidget* parent = nullptr);

    widgets::TrackSlider* backgroundSlider() const { return m_background; } // scrlVol
    widgets::TrackSlider* randomSlider() const { return m_random; }         // HScroll3
    widgets::TrackSlider* allSoundsSlider() const { return m_allSounds; }   // HScroll22
    QPushButton* muteButton() const { return m_mute; }
    QPushButton* loudButton() const { return m_loud; }

    void setStarted(bool started) { m_started = started; }
    void setSlidersEnabled(bool enabled);
    // The two labelled sliders only.
    void setGroupSlidersEnabled(bool enabled);
    void applyLook(std::int32_t back, std::int32_t text);

    void saveTo(persist::ConsoleSettings& settings) const;
    // The all-sounds slider only: the group volumes wait for the buffers.
    void restoreAllSounds(const persist::ConsoleSettings& settings);
    // The random slider, then the background slider, as a user would.
    void setGroupVolumes(int random, int background);
    // Once the buffers exist: background channels 1..14 and the random group
    // but "Leaf Borer" take the sliders' current values.
    void applyStartVolumes();
    // The random slider's value once more to its whole group, custom
    // random sounds included, even where it already stood.
    void reapplyRandom() { applyRandom(false); }
    // Shows "Mute" again, as start-up does.
    void showMute();

    void mute();
    void loud();

private:
    void applyRandom(bool dragging);
    void onAllSoundsDragged();

    CatalogueSounds& m_sounds;
    widgets::TrackSlider* m_background;
    widgets::TrackSlider* m_random;
    widgets::TrackSlider* m_allSounds;
    QLabel* m_backgroundLabel;
    QLabel* m_randomLabel;
    QPushButton* m_mute;
    QPushButton* m_loud;
    bool m_started = false;
    int m_mutedRandom = 0; // unset reads as 0
    int m_mutedBackground = 0;
};

} // namespace sylvaro::panels
