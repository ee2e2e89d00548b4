#include "BackgroundChannels.h"

#include "CatalogueSounds.h"
#include "core/Text.h"
#include "widgets/StoredColour.h"

#include <QCheckBox>
#include <QGridLayout>

namespace sylvaro::panels {

namespace cat = console::catalogue;

namespace {
constexpr int kRows = 5;
}

BackgroundChannels::BackgroundChannels(CatalogueSounds& sounds, QWidget* parent)
    : QWidget(parent), m_sounds(sounds) {
    setObjectName(QStringLiteral("backgroundChannels"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        const auto& entry = cat::entries()[static_cast<std::size_t>(cat::backgroundIndex(channel))];
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
        return console::kBoxTicked;
    case Qt::PartiallyChecked:
        return console::kBoxGreyed;
    case Qt::Unchecked:
        break;
    }
    return console::kBoxClear;
}

void BackgroundChannels::setValue(int channel, int value) {
    // Greyed can be shown (a saved 2) but never reached by a click: the box
    // drops its third state as soon as it leaves it.
    box(channel)->setCheckState(value == console::kBoxTicked   ? Qt::Checked
                                : value == console::kBoxGreyed ? Qt::PartiallyChecked
                                                               : Qt::Unchecked);
}

void BackgroundChannels::setBoxesEnabled(bool enabled) {
    for (QCheckBox* b : m_boxes) {
        b->setEnabled(enabled);
    }
}

void BackgroundChannels::applyLook(std::int32_t back, std::int32_t text) {
    for (QCheckBox* b : m_boxes) {
        widgets::fillBackground(b, back);
        widgets::paintRole(b, QPalette::WindowText, text);
    }
}

void BackgroundChannels::saveTo(persist::ConsoleSettings& settings) const {
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        settings.boxes[static_cast<std::size_t>(channel - 1)] = value(channel);
    }
}

void BackgroundChannels::restoreFrom(const persist::ConsoleSettings& settings) {
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        setValue(channel, settings.boxes[static_cast<std::size_t>(channel - 1)]);
    }
}

std::vector<std::string_view> BackgroundChannels::resume() {
    std::vector<std::string_view> pictures;
    for (int channel : cat::resumeOrder()) {
        if (value(channel) == console::kBoxTicked) {
            pictures.push_back(cat::backgroundPicture(channel));
            m_sounds.engine().play(m_sounds.background(channel), true);
        }
    }
    return pictures;
}

void BackgroundChannels::clearAll() {
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        setValue(channel, console::kBoxClear);
    }
}

void BackgroundChannels::onChanged(int channel) {
    QCheckBox* b = box(channel);
    if (b->checkState() != Qt::PartiallyChecked && b->isTristate()) {
        b->setTristate(false);
    }
    if (!m_started) {
        return;
    }
    if (value(channel) == console::kBoxTicked) {
        m_sounds.engine().play(m_sounds.background(channel), true);
    } else {
        m_sounds.engine().stop(m_sounds.background(channel));
    }
}

} // namespace sylvaro::panels
