#include "VolumeControls.h"

#include "CatalogueSounds.h"
#include "widgets/Heading.h"
#include "widgets/StoredColour.h"
#include "widgets/TrackSlider.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace sylvaro::panels {

namespace {

widgets::TrackSlider* makeSlider(const QString& name, const QString& accessibleName,
                                 QWidget* parent) {
    auto* s = new widgets::TrackSlider(parent);
    s->setObjectName(name);
    s->setAccessibleName(accessibleName);
    s->setRange(console::kVolumeMinimum, console::kVolumeMaximum);
    s->setSingleStep(console::kVolumeSmallStep);
    s->setPageStep(console::kVolumeLargeStep);
    s->setValue(console::kVolumeMaximum);
    s->setMinimumWidth(160);
    return s;
}

} // namespace

VolumeControls::VolumeControls(CatalogueSounds& sounds, QWidget* parent)
    : QWidget(parent), m_sounds(sounds),
      m_background(makeSlider(QStringLiteral("scrlVol"), tr("Background volume"), this)),
      m_random(makeSlider(QStringLiteral("HScroll3"), tr("Random volume"), this)),
      m_allSounds(makeSlider(QStringLiteral("HScroll22"), tr("All sounds volume"), this)),
      m_backgroundLabel(new QLabel(QStringLiteral("Background"), this)),
      m_randomLabel(new QLabel(QStringLiteral("Random"), this)),
      m_mute(new QPushButton(QStringLiteral("Mute"), this)),
      m_loud(new QPushButton(QStringLiteral("Loud"), this)) {
    setObjectName(QStringLiteral("volumeControls"));
    m_mute->setObjectName(QStringLiteral("cmdMute"));
    m_loud->setObjectName(QStringLiteral("cmdLoud"));
    m_allSounds->setEnabled(false);
    m_loud->setVisible(false);

    auto* heading =
        widgets::makeHeading(QStringLiteral("Volume"), QStringLiteral("lblVolume"), this);
    m_backgroundLabel->setObjectName(QStringLiteral("lblBackground"));
    m_backgroundLabel->setBuddy(m_background);
    m_randomLabel->setObjectName(QStringLiteral("lblRandom"));
    m_randomLabel->setBuddy(m_random);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(m_backgroundLabel, 1, 0);
    grid->addWidget(m_background, 1, 1);
    grid->addWidget(m_allSounds, 2, 1);
    grid->addWidget(m_randomLabel, 3, 0);
    grid->addWidget(m_random, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_mute);
    buttons->addWidget(m_loud);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 2);

    const auto applyBackground = [this] {
        m_sounds.engine().setGroupVolume(m_sounds.group(console::kBackgroundGroup),
                                         m_background->value());
    };
    connect(m_background, &widgets::TrackSlider::changed, this, applyBackground);
    connect(m_background, &widgets::TrackSlider::scrolled, this, applyBackground);
    connect(m_random, &widgets::TrackSlider::changed, this, [this] { applyRandom(false); });
    connect(m_random, &widgets::TrackSlider::scrolled, this, [this] { applyRandom(true); });
    connect(m_allSounds, &widgets::TrackSlider::scrolled, this,
            &VolumeControls::onAllSoundsDragged);
    connect(m_mute, &QPushButton::clicked, this, &VolumeControls::mute);
    connect(m_loud, &QPushButton::clicked, this, &VolumeControls::loud);
}

void VolumeControls::applyRandom(bool dragging) {
    engine::SoundEngine& engine = m_sounds.engine();
    engine.setGroupVolume(m_sounds.group(console::kRandomGroup), m_random->value());
    if (!dragging) {
        engine.setGroupVolume(m_sounds.customRandomGroup(), m_random->value());
    }
}

void VolumeControls::onAllSoundsDragged() {
    if (m_started) {
        m_sounds.engine().setGroupVolume(m_sounds.group(console::kAllSoundsGroup),
                                         m_allSounds->value());
    }
}

void VolumeControls::setSlidersEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(m_background), static_cast<QWidget*>(m_random),
                       static_cast<QWidget*>(m_allSounds)}) {
        w->setEnabled(enabled);
    }
}

void VolumeControls::setGroupSlidersEnabled(bool enabled) {
    m_background->setEnabled(enabled);
    m_random->setEnabled(enabled);
}

void VolumeControls::applyLook(std::int32_t, std::int32_t text) {
    for (QLabel* label : {m_backgroundLabel, m_randomLabel}) {
        widgets::paintRole(label, QPalette::WindowText, text);
    }
}

void VolumeControls::saveTo(persist::ConsoleSettings& settings) const {
    settings.randomVolume = m_random->value();
    settings.allSoundsVolume = m_allSounds->value();
    settings.backgroundVolume = m_background->value();
}

void VolumeControls::restoreAllSounds(const persist::ConsoleSettings& settings) {
    m_allSounds->setValue(settings.allSoundsVolume);
}

void VolumeControls::setGroupVolumes(int random, int background) {
    m_random->setValue(random);
    m_background->setValue(background);
}

void VolumeControls::applyStartVolumes() {
    engine::SoundEngine& engine = m_sounds.engine();
    for (int channel = 1; channel < console::kBackgroundCount; ++channel) {
        engine.setVolume(m_sounds.background(channel), m_background->value());
    }
    const engine::Buffer leafBorer = m_sounds.random(1, 0);
    for (engine::Buffer b : engine.members(m_sounds.group(console::kRandomGroup))) {
        if (b != leafBorer) {
            engine.setVolume(b, m_random->value());
        }
    }
}

void VolumeControls::showMute() {
    m_loud->setVisible(false);
    m_mute->setVisible(true);
    m_mute->setEnabled(true);
}

void VolumeControls::mute() {
    if (!m_started) {
        return;
    }
    m_loud->setVisible(true);
    m_mute->setVisible(false);
    m_mutedRandom = m_random->value();
    m_mutedBackground = m_background->value();
    m_random->setValue(console::kVolumeMinimum);
    m_background->setValue(console::kVolumeMinimum);
}

void VolumeControls::loud() {
    m_loud->setVisible(false);
    m_mute->setVisible(true);
    m_random->setValue(m_mutedRandom);
    m_background->setValue(m_mutedBackground);
}

} // namespace sylvaro::panels
