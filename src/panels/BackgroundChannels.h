#pragma once

#include "console/Layout.h"
#include "persist/ConsoleSettings.h"

#include <QWidget>
#include <array>
#include <string_view>
#include <vector>

class QCheckBox;

namespace sylvaro::panels {

class CatalogueSounds;

// The 15 enable boxes of the background channels (`Check1`..`Check15`). A box
// that changes to ticked plays its channel's buffer looping, any other value
// stops it (keeping its position) - but only once the console has started.
// UI thread only.
class BackgroundChannels : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundChannels(CatalogueSounds& sounds, QWidget* parent = nullptr);

    QCheckBox* box(int channel) const;
    // 0 clear, 1 ticked, 2 greyed (counts as off).
    int value(int channel) const;
    void setValue(int channel, int value);
    void setBoxesEnabled(bool enabled);
    // Whether box changes reach the sound engine.
    void setStarted(bool started) { m_started = started; }
    void applyLook(std::int32_t back, std::int32_t text);

    void saveTo(persist::ConsoleSettings& settings) const;
    void restoreFrom(const persist::ConsoleSettings& settings);
    // Plays the ticked channels in the order the console resumes them and
    // returns the pictures they bring, the last one shown on top.
    std::vector<std::string_view> resume();
    void clearAll();

private:
    void onChanged(int channel);

    CatalogueSounds& m_sounds;
    std::array<QCheckBox*, console::kBackgroundCount> m_boxes{};
    bool m_started = false;
};

} // namespace sylvaro::panels
