#pragma once

#include "random/RandomScheduler.h"

#include <QWidget>
#include <array>
#include <memory>

class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace sylvaro::core {
class RandomSource;
class TimerHost;
} // namespace sylvaro::core
namespace sylvaro::engine {
class SoundEngine;
}
namespace sylvaro::widgets {
class TrackSlider;
}

namespace sylvaro::app {

// The 40 random channels on two bank pages: each with its caption and
// frequency slider (`HScroll1`.. `HScroll42`, 0 "Often" .. 2000 "Off"), the
// bank switch buttons "1" / "2" and "Enable Spatial Sounds". A slider change
// or drag arms the channel's firing timer; firings play the channel's
// catalogue buffer once and pan it. The hidden bank keeps firing.
// UI thread only.
class RandomSounds : public QWidget, private random::RandomSink {
    Q_OBJECT
public:
    RandomSounds(engine::SoundEngine& engine, core::TimerHost& timers, core::RandomSource& rnd,
                 QWidget* parent = nullptr);
    ~RandomSounds() override;

    widgets::TrackSlider* slider(int bank, int slot) const;
    QLabel* caption(int bank, int slot) const;
    QCheckBox* spatialBox() const { return m_spatial; }
    QPushButton* bankButton(int bank) const { return bank == 1 ? m_showBank1 : m_showBank2; }
    random::RandomScheduler& scheduler() { return *m_scheduler; }

    int shownBank() const { return m_shownBank; }
    void showBank(int bank);
    void setBankSlidersEnabled(int bank, bool enabled);
    void setBankTimersEnabled(int bank, bool enabled);
    // Sets every frequency slider of both banks to `value`.
    void setAll(int value);

private:
    void playOnce(int bank, int slot) override;
    void setPan(int bank, int slot, int pan) override;
    void buildBank(int bank, QGridLayout* grid);

    engine::SoundEngine& m_engine;
    std::array<widgets::TrackSlider*, random::kChannels> m_sliders{};
    std::array<QLabel*, random::kChannels> m_captions{};
    QCheckBox* m_spatial = nullptr;
    QPushButton* m_showBank1 = nullptr;
    QPushButton* m_showBank2 = nullptr;
    int m_shownBank = 1;
    std::unique_ptr<random::RandomScheduler> m_scheduler;
};

} // namespace sylvaro::app
