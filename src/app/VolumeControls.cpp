#include "VolumeControls.h"

#include "engine/SoundEngine.h"
#include "widgets/Heading.h"
#include "widgets/TrackSlider.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace sylvaro::app {

namespace {

widgets::TrackSlider* makeSlider(const QString& name, const QString& accessibleName,
                                 QWidget* parent) {
    auto* s = new widgets::TrackSlider(parent);
    s->setObjectName(name);
    s->setAccessibleName(accessibleName);
    s->setRange(VolumeControls::kMinimum, 0);
    s->setSingleStep(200);
    s->setPageStep(400);
    s->setValue(0);
    s->setMinimumWidth(160);
    return s;
}

} // namespace

VolumeControls::VolumeControls(engine::SoundEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine),
      m_background(makeSlider(QStringLiteral("scrlVol"), tr("Background volume"), this)),
      m_random(makeSlider(QStringLiteral("HScroll3"), tr("Random volume"), this)),
      m_allSounds(makeSlider(QStringLiteral("HScroll22"), tr("All sounds volume"), this)),
      m_mute(new QPushButton(QStringLiteral("Mute"), this)),
      m_loud(new QPushButton(QStringLiteral("Loud"), this)) {
    setObjectName(QStringLiteral("volumeControls"));
    m_mute->setObjectName(QStringLiteral("cmdMute"));
    m_loud->setObjectName(QStringLiteral("cmdLoud"));
    m_allSounds->setEnabled(false);
    m_loud->setVisible(false);

    auto* heading =
        widgets::makeHeading(QStringLiteral("Volume"), QStringLiteral("lblVolume"), this);
    auto* backgroundLabel = new QLabel(QStringLiteral("Background"), this);
    backgroundLabel->setObjectName(QStringLiteral("lblBackground"));
    backgroundLabel->setBuddy(m_background);
    auto* randomLabel = new QLabel(QStringLiteral("Random"), this);
    randomLabel->setObjectName(QStringLiteral("lblRandom"));
    randomLabel->setBuddy(m_random);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(backgroundLabel, 1, 0);
    grid->addWidget(m_background, 1, 1);
    grid->addWidget(m_allSounds, 2, 1);
    grid->addWidget(randomLabel, 3, 0);
    grid->addWidget(m_random, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_mute);
    buttons->addWidget(m_loud);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(m_background, &widgets::TrackSlider::changed, this,
            [this] { applyGroup(engine::kBackgroundGroup, m_background); });
    connect(m_background, &widgets::TrackSlider::scrolled, this,
            [this] { applyGroup(engine::kBackgroundGroup, m_background); });
    connect(m_random, &widgets::TrackSlider::changed, this,
            [this] { applyGroup(engine::kRandomGroup, m_random); });
    connect(m_random, &widgets::TrackSlider::scrolled, this,
            [this] { applyGroup(engine::kRandomGroup, m_random); });
    connect(m_allSounds, &widgets::TrackSlider::scrolled, this,
            &VolumeControls::onAllSoundsDragged);
    connect(m_mute, &QPushButton::clicked, this, &VolumeControls::mute);
    connect(m_loud, &QPushButton::clicked, this, &VolumeControls::loud);
}

void VolumeControls::applyGroup(engine::VolumeGroup group, widgets::TrackSlider* slider) {
    // The value is read afresh for every member; a member whose buffer does
    // not exist yet is skipped without a word.
    for (int buffer : engine::catalogue::groupMembers(group)) {
        m_engine.setVolume(buffer, slider->value());
    }
}

void VolumeControls::onAllSoundsDragged() {
    if (!m_engine.isReady()) {
        return;
    }
    applyGroup(engine::kAllSoundsGroup, m_allSounds);
}

void VolumeControls::mute() {
    if (!m_engine.isReady()) {
        return;
    }
    m_loud->setVisible(true);
    m_mute->setVisible(false);
    m_mutedRandom = m_random->value();
    m_mutedBackground = m_background->value();
    m_random->setValue(kMinimum);
    m_background->setValue(kMinimum);
}

void VolumeControls::loud() {
    m_loud->setVisible(false);
    m_mute->setVisible(true);
    m_random->setValue(m_mutedRandom);
    m_background->setValue(m_mutedBackground);
}

} // namespace sylvaro::app
