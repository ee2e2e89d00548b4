#include "RandomSounds.h"

#include "core/Text.h"
#include "engine/Catalogue.h"
#include "engine/SoundEngine.h"
#include "persist/ConsoleSettings.h"
#include "widgets/Heading.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace sylvaro::app {

namespace {

constexpr int kRowsPerColumn = 10;

// Bank 1 shows slot 2 above slot 1.
constexpr std::array<int, random::kSlots> kBank1Rows{0,  2,  1,  3,  4,  5,  6,  7,  8,  9,
                                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

} // namespace

RandomSounds::RandomSounds(engine::SoundEngine& engine, core::TimerHost& timers,
                           core::RandomSource& rnd, QWidget* parent)
    : QWidget(parent), m_engine(engine) {
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
    connect(m_showBank1, &QPushButton::clicked, this, [this] { showBank(1); });
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
    for (int bank = 1; bank <= random::kBanks; ++bank) {
        buildBank(bank, grid);
    }
    outer->addLayout(grid);

    m_scheduler = std::make_unique<random::RandomScheduler>(
        timers, rnd, static_cast<random::RandomSink&>(*this),
        [this](int bank, int slot) { return slider(bank, slot)->value(); },
        [this] { return m_spatial->isChecked(); });
    for (int bank = 1; bank <= random::kBanks; ++bank) {
        for (int slot = 0; slot < random::kSlots; ++slot) {
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
    for (int row = 0; row < random::kSlots; ++row) {
        const int slot = bank == 1 ? kBank1Rows[static_cast<std::size_t>(row)] : row;
        const auto& entry = engine::catalogue::entries()[static_cast<std::size_t>(
            engine::catalogue::randomIndex(bank, slot))];
        auto* label = new QLabel(core::toQString(entry.caption), this);
        label->setObjectName(QStringLiteral("lblBank%1_%2").arg(bank).arg(slot));
        auto* s = new widgets::TrackSlider(this);
        s->setObjectName(core::toQString(entry.control));
        s->setAccessibleName(core::toQString(entry.caption));
        const int minimum = persist::ConsoleSettings::frequencyMinimum(bank, slot);
        s->setRange(minimum, persist::kFrequencyOff);
        s->setValue(minimum);
        s->setSingleStep(20);
        s->setPageStep(250);
        label->setBuddy(s);
        const int column = (row / kRowsPerColumn) * 2;
        grid->addWidget(label, 1 + row % kRowsPerColumn, column);
        grid->addWidget(s, 1 + row % kRowsPerColumn, column + 1);
        const auto i = static_cast<std::size_t>(random::channelIndex(bank, slot));
        m_sliders[i] = s;
        m_captions[i] = label;
    }
}

widgets::TrackSlider* RandomSounds::slider(int bank, int slot) const {
    return m_sliders.at(static_cast<std::size_t>(random::channelIndex(bank, slot)));
}

QLabel* RandomSounds::caption(int bank, int slot) const {
    return m_captions.at(static_cast<std::size_t>(random::channelIndex(bank, slot)));
}

void RandomSounds::showBank(int bank) {
    m_shownBank = bank;
    m_showBank1->setVisible(bank == 2);
    m_showBank2->setVisible(bank == 1);
    for (int slot = 0; slot < random::kSlots; ++slot) {
        for (int b = 1; b <= random::kBanks; ++b) {
            slider(b, slot)->setVisible(b == bank);
            caption(b, slot)->setVisible(b == bank);
        }
    }
    // Showing bank 1 also switches the custom channels off once they exist.
}

void RandomSounds::setBankSlidersEnabled(int bank, bool enabled) {
    for (int slot = 0; slot < random::kSlots; ++slot) {
        slider(bank, slot)->setEnabled(enabled);
    }
}

void RandomSounds::setBankTimersEnabled(int bank, bool enabled) {
    for (int slot = 0; slot < random::kSlots; ++slot) {
        m_scheduler->timer(bank, slot).setEnabled(enabled);
    }
}

void RandomSounds::setAll(int value) {
    for (widgets::TrackSlider* s : m_sliders) {
        s->setValue(value);
    }
}

void RandomSounds::playOnce(int bank, int slot) {
    m_engine.play(engine::catalogue::randomIndex(bank, slot), false);
}

void RandomSounds::setPan(int bank, int slot, int pan) {
    m_engine.setPan(engine::catalogue::randomIndex(bank, slot), pan);
}

} // namespace sylvaro::app
