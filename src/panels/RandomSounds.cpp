#include "RandomSounds.h"

#include "CatalogueSounds.h"
#include "core/Text.h"
#include "scenes/SceneTable.h"
#include "widgets/Heading.h"
#include "widgets/StoredColour.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace sylvaro::panels {

using console::channelIndex;
using console::kBanks;
using console::kSlots;
namespace cat = console::catalogue;

namespace {
constexpr int kRowsPerColumn = 10;
constexpr int kBank2SyncMs = 500;
} // namespace

RandomSounds::RandomSounds(CatalogueSounds& sounds, core::TimerHost& timers,
                           core::RandomSource& rnd, QWidget* parent)
    : QWidget(parent), m_sounds(sounds), m_bank2Sync(
                                             timers,
                                             [this] {
                                                 m_bank2Sync.setEnabled(false);
                                                 syncBank2();
                                             },
                                             kBank2SyncMs) {
    setObjectName(QStringLiteral("randomSounds"));

    auto* heading = widgets::makeHeading(QStringLiteral("Random Sound Frequency"),
                                         QStringLiteral("lblFrequency"), this);
    auto* often = new QLabel(QStringLiteral("Often"), this);
    often->setObjectName(QStringLiteral("lblOften"));
    auto* off = new QLabel(QStringLiteral("Off"), this);
    off->setObjectName(QStringLiteral("lblOff"));

    m_showBank1 = new QPushButton(QStringLiteral("1"), this);
    m_showBank1->setObjectName(QStringLiteral("cmdBank1"));
    m_showBank1->setAccessibleName(tr("Show random bank 1"));
    m_showBank2 = new QPushButton(QStringLiteral("2"), this);
    m_showBank2->setObjectName(QStringLiteral("cmdBank2"));
    m_showBank2->setToolTip(QStringLiteral("Switch Bank"));
    m_showBank2->setAccessibleName(tr("Show random bank 2"));
    for (QPushButton* b : {m_showBank1, m_showBank2}) {
        b->setFixedWidth(32);
        b->setEnabled(false); // until start-up
    }
    connect(m_showBank1, &QPushButton::clicked, this, [this] {
        showBank(1);
        Q_EMIT bank1Requested();
    });
    connect(m_showBank2, &QPushButton::clicked, this, [this] { showBank(2); });

    m_spatial = new QCheckBox(QStringLiteral("Enable Spatial Sounds"), this);
    m_spatial->setObjectName(QStringLiteral("chkSpatial"));
    m_spatial->setChecked(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->addWidget(heading);
    top->addStretch();
    top->addWidget(m_spatial);
    top->addWidget(m_showBank1);
    top->addWidget(m_showBank2);
    outer->addLayout(top);

    // Both banks share one grid so the scale labels line up with the
    // sliders of either page; the hidden page's widgets take no room.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 96);
    auto* scale = new QHBoxLayout;
    scale->addWidget(often);
    scale->addStretch();
    scale->addWidget(off);
    grid->addLayout(scale, 0, 1);
    // The right-hand column repeats the scale for its sliders.
    auto* scale2 = new QHBoxLayout;
    auto* often2 = new QLabel(QStringLiteral("Often"), this);
    often2->setObjectName(QStringLiteral("lblOften2"));
    auto* off2 = new QLabel(QStringLiteral("Off"), this);
    off2->setObjectName(QStringLiteral("lblOff2"));
    scale2->addWidget(often2);
    scale2->addStretch();
    scale2->addWidget(off2);
    grid->addLayout(scale2, 0, 3);
    m_scaleLabels = {often, off, often2, off2};
    for (int bank = 1; bank <= kBanks; ++bank) {
        buildBank(bank, grid);
    }
    outer->addLayout(grid);

    m_scheduler = std::make_unique<random::RandomScheduler>(
        timers, rnd, static_cast<random::RandomSink&>(*this),
        [this](int bank, int slot) { return slider(bank, slot)->value(); },
        [this] { return m_spatial->isChecked(); });
    for (int bank = 1; bank <= kBanks; ++bank) {
        for (int slot = 0; slot < kSlots; ++slot) {
            widgets::TrackSlider* s = slider(bank, slot);
            const auto arm = [this, bank, slot](int value) { m_scheduler->arm(bank, slot, value); };
            connect(s, &widgets::TrackSlider::changed, this, arm);
            connect(s, &widgets::TrackSlider::scrolled, this, arm);
        }
    }
    showBank(1);
}

RandomSounds::~RandomSounds() = default;

void RandomSounds::buildBank(int bank, QGridLayout* grid) {
    for (int row = 0; row < kSlots; ++row) {
        const int slot = bank == 1 ? console::kBank1Order[static_cast<std::size_t>(row)] : row;
        const auto& entry = cat::entries()[static_cast<std::size_t>(cat::randomIndex(bank, slot))];
        auto* label = new QLabel(core::toQString(entry.caption), this);
        label->setObjectName(QStringLiteral("lblBank%1_%2").arg(bank).arg(slot));
        auto* s = new widgets::TrackSlider(this);
        s->setObjectName(core::toQString(entry.control));
        s->setAccessibleName(core::toQString(entry.caption));
        const int minimum = console::frequencyMinimum(bank, slot);
        s->setRange(minimum, console::kFrequencyOff);
        s->setValue(minimum);
        s->setSingleStep(console::kFrequencySmallStep);
        s->setPageStep(console::kFrequencyLargeStep);
        label->setBuddy(s);
        const int column = (row / kRowsPerColumn) * 2;
        grid->addWidget(label, 1 + row % kRowsPerColumn, column);
        grid->addWidget(s, 1 + row % kRowsPerColumn, column + 1);
        const auto i = static_cast<std::size_t>(channelIndex(bank, slot));
        m_sliders[i] = s;
        m_captions[i] = label;
    }
}

widgets::TrackSlider* RandomSounds::slider(int bank, int slot) const {
    return m_sliders.at(static_cast<std::size_t>(channelIndex(bank, slot)));
}

QLabel* RandomSounds::caption(int bank, int slot) const {
    return m_captions.at(static_cast<std::size_t>(channelIndex(bank, slot)));
}

void RandomSounds::showBank(int bank) {
    m_shownBank = bank;
    m_showBank1->setVisible(bank == 2);
    m_showBank2->setVisible(bank == 1);
    for (int slot = 0; slot < kSlots; ++slot) {
        for (int b = 1; b <= kBanks; ++b) {
            slider(b, slot)->setVisible(b == bank);
            caption(b, slot)->setVisible(b == bank);
        }
    }
}

void RandomSounds::setBankSlidersEnabled(int bank, bool enabled) {
    for (int slot = 0; slot < kSlots; ++slot) {
        slider(bank, slot)->setEnabled(enabled);
    }
}

void RandomSounds::setBankTimersEnabled(int bank, bool enabled) {
    for (int slot = 0; slot < kSlots; ++slot) {
        m_scheduler->timer(bank, slot).setEnabled(enabled);
    }
}

void RandomSounds::prepareForLoad() {
    m_scheduler->timer(2, 17).setEnabled(false);
    showBank(1);
    setAll(console::kFrequencyOff);
    setBankSlidersEnabled(1, false);
    setBankTimersEnabled(1, false);
}

void RandomSounds::setAll(int value) {
    for (widgets::TrackSlider* s : m_sliders) {
        s->setValue(value);
    }
}

void RandomSounds::setBankButtonsEnabled(bool enabled) {
    m_showBank1->setEnabled(enabled);
    m_showBank2->setEnabled(enabled);
}

void RandomSounds::syncBank2() {
    const QColor colour = caption(1, 0)->palette().color(QPalette::WindowText);
    for (int slot = 0; slot < kSlots; ++slot) {
        QLabel* label = caption(2, slot);
        if (label->palette().color(QPalette::WindowText) != colour) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, colour);
            label->setPalette(palette);
        }
    }
}

void RandomSounds::applyLook(std::int32_t back, std::int32_t text) {
    widgets::fillBackground(m_spatial, back);
    widgets::paintRole(m_spatial, QPalette::WindowText, text);
    for (QLabel* label : m_scaleLabels) {
        widgets::paintRole(label, QPalette::WindowText, text);
    }
    const QColor before = caption(1, 0)->palette().color(QPalette::WindowText);
    for (int slot = 0; slot < kSlots; ++slot) {
        widgets::paintRole(caption(1, slot), QPalette::WindowText, text);
    }
    if (caption(1, 0)->palette().color(QPalette::WindowText) != before) {
        m_bank2Sync.setEnabled(true);
    }
}

void RandomSounds::paintBank2(std::int32_t text) {
    for (int slot = 0; slot < kSlots; ++slot) {
        widgets::paintRole(caption(2, slot), QPalette::WindowText, text);
    }
}

void RandomSounds::saveTo(persist::ConsoleSettings& settings) const {
    for (int slot = 0; slot < kSlots; ++slot) {
        settings.bank1[static_cast<std::size_t>(slot)] = slider(1, slot)->value();
        settings.bank2[static_cast<std::size_t>(slot)] = slider(2, slot)->value();
    }
}

void RandomSounds::restoreBank(int bank, const persist::ConsoleSettings& settings) {
    const auto& values = bank == 1 ? settings.bank1 : settings.bank2;
    for (int slot = 0; slot < kSlots; ++slot) {
        slider(bank, slot)->setValue(values[static_cast<std::size_t>(slot)]);
    }
}

void RandomSounds::applyScene(const scenes::Scene& scene) {
    for (int bank = 1; bank <= kBanks; ++bank) {
        for (int slot = 0; slot < kSlots; ++slot) {
            slider(bank, slot)->setValue(scene.frequency(bank, slot));
        }
    }
}

void RandomSounds::resume() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (slider(1, slot)->value() < console::kFrequencyOff) {
            m_scheduler->timer(1, slot).setEnabled(true);
        }
    }
}

void RandomSounds::clearAll() {
    setAll(console::kFrequencyOff);
    m_scheduler->timer(1, 0).setEnabled(false);
    m_scheduler->timer(1, 2).setEnabled(false);
}

void RandomSounds::playOnce(int bank, int slot) {
    m_sounds.engine().play(m_sounds.random(bank, slot), false);
}

void RandomSounds::setPan(int bank, int slot, int pan) {
    m_sounds.engine().setPan(m_sounds.random(bank, slot), pan);
}

} // namespace sylvaro::panels
