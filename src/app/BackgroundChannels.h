#pragma once

#include "engine/Catalogue.h"

#include <QWidget>
#include <array>

class QCheckBox;

namespace sylvaro::engine {
class SoundEngine;
}

namespace sylvaro::app {

// The 15 enable boxes of the background channels (`Check1`..`Check15`). A box
// that changes to ticked plays its channel's buffer looping, any other value
// stops it (keeping its position) - but only once the engine is ready.
// UI thread only.
class BackgroundChannels : public QWidget {
    Q_OBJECT
public:
    BackgroundChannels(engine::SoundEngine& engine, QWidget* parent = nullptr);

    QCheckBox* box(int channel) const;
    // 0 clear, 1 ticked, 2 greyed (counts as off).
    int value(int channel) const;
    void setValue(int channel, int value);
    void setBoxesEnabled(bool enabled);

private:
    void onChanged(int channel);

    engine::SoundEngine& m_engine;
    std::array<QCheckBox*, engine::kBackgroundCount> m_boxes{};
};

} // namespace sylvaro::app
