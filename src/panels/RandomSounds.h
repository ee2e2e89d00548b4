#pragma once

#include "persist/ConsoleSettings.h"
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
namespace sylvaro::widgets {
class TrackSlider;
}

namespace sylvaro::scenes {
struct Scene;
}

namespace sylvaro::panels {

class CatalogueSounds;

// The 40 random channels on two bank pages: each with its caption and
// frequency slider (`HScroll1`.. `HScroll42`, 0 "Often" .. 2000 "Off"), the
// bank switch buttons "1" / "2" and "Enable Spatial Sounds". A slider change
// or drag arms the channel's firing timer; firings play the channel's
// catalogue buffer once and pan it. The hidden bank keeps firing.
// UI thread only.
class RandomSounds : public QWidget, private random::RandomSink {
    Q_OBJECT
public:
    RandomSounds(CatalogueSounds& sounds, core::TimerHost& timers, core::RandomSource& rnd,
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
    // Before the console's sounds are loaded: bank 1 shows, every slider is
    // off, bank 1's sliders and timers wait for start-up, and bank 2's
    // eighteenth timer stays off.
    void prepareForLoad();
    void setBankButtonsEnabled(bool enabled);
    // Bank 2's captions take the colour of bank 1's first caption.
    void syncBank2();
    // Bank 1's captions take the text colour at once; bank 2's follow
    // within half a second.
    void applyLook(std::int32_t back, std::int32_t text);
    // Bank 2's captions take the colour now.
    void paintBank2(std::int32_t text);

    void saveTo(persist::ConsoleSettings& settings) const;
    void restoreBank(int bank, const persist::ConsoleSettings& settings);
    void applyScene(const scenes::Scene& scene);
    // Arms the bank 1 channels whose slider is not off.
    void resume();
    // Every channel off, and the two bank 1 timers that start armed stopped.
    void clearAll();

Q_SIGNALS:
    // The user asked for bank 1 ("1"): the custom channels go off with it.
    void bank1Requested();

private:
    void playOnce(int bank, int slot) override;
    void setPan(int bank, int slot, int pan) override;
    void buildBank(int bank, QGridLayout* grid);

    CatalogueSounds& m_sounds;
    std::array<widgets::TrackSlider*, console::kChannels> m_sliders{};
    std::array<QLabel*, console::kChannels> m_captions{};
    std::array<QLabel*, 4> m_scaleLabels{};
    QCheckBox* m_spatial = nullptr;
    QPushButton* m_showBank1 = nullptr;
    QPushButton* m_showBank2 = nullptr;
    int m_shownBank = 1;
    std::unique_ptr<random::RandomScheduler> m_scheduler;
    // Runs only after bank 1's colour changed.
    core::IntervalTimer m_bank2Sync;
};

} // namespace sylvaro::panels
