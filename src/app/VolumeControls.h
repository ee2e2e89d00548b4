#pragma once

#include "engine/Catalogue.h"

#include <QWidget>

class QPushButton;

namespace sylvaro::engine {
class SoundEngine;
}
namespace sylvaro::widgets {
class TrackSlider;
}

namespace sylvaro::app {

// The three group volume sliders and the "Mute" / "Loud" pair. A slider's
// value (-3000..0, hundredths of a dB) goes unchanged to every buffer of its
// group; the background slider on change and drag, the random slider on
// change and drag, the all-sounds slider only on drag and only once the
// engine is ready. Mute turns both labelled sliders down to -3000 and Loud
// brings back the values from before. UI thread only.
class VolumeControls : public QWidget {
    Q_OBJECT
public:
    VolumeControls(engine::SoundEngine& engine, QWidget* parent = nullptr);

    widgets::TrackSlider* backgroundSlider() const { return m_background; } // scrlVol
    widgets::TrackSlider* randomSlider() const { return m_random; }         // HScroll3
    widgets::TrackSlider* allSoundsSlider() const { return m_allSounds; }   // HScroll22
    QPushButton* muteButton() const { return m_mute; }
    QPushButton* loudButton() const { return m_loud; }

    void mute();
    void loud();

    static constexpr int kMinimum = -3000;

private:
    void applyGroup(engine::VolumeGroup group, widgets::TrackSlider* slider);
    void onAllSoundsDragged();

    engine::SoundEngine& m_engine;
    widgets::TrackSlider* m_background;
    widgets::TrackSlider* m_random;
    widgets::TrackSlider* m_allSounds;
    QPushButton* m_mute;
    QPushButton* m_loud;
    int m_mutedRandom = 0; // unset reads as 0
    int m_mutedBackground = 0;
};

} // namespace sylvaro::app
