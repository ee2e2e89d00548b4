#include "BackgroundChannels.h"

#include "core/Text.h"
#include "engine/SoundEngine.h"

#include <QCheckBox>
#include <QGridLayout>

namespace sylvaro::app {

namespace {
constexpr int kRows = 5;
}

BackgroundChannels::BackgroundChannels(engine::SoundEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine) {
    setObjectName(QStringLiteral("backgroundChannels"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    for (int channel = 1; channel <= engine::kBackgroundCount; ++channel) {
        const auto& entry = engine::catalogue::entries()[static_cast<std::size_t>(
            engine::catalogue::backgroundIndex(channel))];
        auto* box = new QCheckBox(core::toQString(entry.caption), this);
        box->setObjectName(core::toQString(entry.control));
        connect(box, &QCheckBox::stateChanged, this, [this, channel] { onChanged(channel); });
        m_boxes[static_cast<std::size_t>(channel - 1)] = box;
        const int i = channel - 1;
        grid->addWidget(box, i % kRows, i / kRows);
    }
}

QCheckBox* BackgroundChannels::box(int channel) const {
    return m_boxes.at(static_cast<std::size_t>(channel - 1));
}

int BackgroundChannels::value(int channel) const {
    switch (box(channel)->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void BackgroundChannels::setValue(int channel, int value) {
    QCheckBox* b = box(channel);
    if (value == 2) {
        b->setTristate(true);
    }
    b->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void BackgroundChannels::setBoxesEnabled(bool enabled) {
    for (QCheckBox* b : m_boxes) {
        b->setEnabled(enabled);
    }
}

void BackgroundChannels::onChanged(int channel) {
    if (!m_engine.isReady()) {
        return;
    }
    const int buffer = engine::catalogue::backgroundIndex(channel);
    if (value(channel) == 1) {
        m_engine.play(buffer, true);
    } else {
        m_engine.stop(buffer);
    }
}

} // namespace sylvaro::app
