#include "ConsoleModes.h"

#include "ConsoleState.h"
#include "console/Layout.h"
#include "panels/BackgroundChannels.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/FullWindowPicture.h"
#include "panels/PictureArea.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/VolumeControls.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace sylvaro::app {

namespace {
constexpr int kShowButtonSize = 26;
constexpr int kShowButtonMargin = 8;
} // namespace

ConsoleModes::ConsoleModes(ConsolePanels& panels, panels::ScenePanel& scenes,
                           panels::DevicePanel& devices, QWidget* surface)
    : QObject(surface), m_panels(panels), m_scenes(scenes), m_devices(devices), m_surface(surface),
      m_hide(new QPushButton(QStringLiteral("Hide"), surface)), m_show(new QPushButton(surface)),
      m_restore(new QPushButton(QStringLiteral("Restore"), surface)),
      m_full(new panels::FullWindowPicture(surface)) {
    m_hide->setObjectName(QStringLiteral("Command20"));
    m_hide->setToolTip(tr("Show only the picture"));
    m_show->setObjectName(QStringLiteral("Command21"));
    m_show->setAccessibleName(tr("Show the console"));
    m_show->setToolTip(tr("Show the console"));
    m_show->setIcon(m_show->style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    m_show->setFixedSize(kShowButtonSize, kShowButtonSize);
    m_show->setVisible(false);
    m_restore->setObjectName(QStringLiteral("cmdRestore"));
    // Start-up leaves it hidden; nothing in this console shows it again.
    m_restore->setVisible(false);
    m_full->setVisible(false);

    connect(m_hide, &QPushButton::clicked, this, &ConsoleModes::hideControls);
    connect(m_show, &QPushButton::clicked, this, &ConsoleModes::showControls);
    connect(m_restore, &QPushButton::clicked, this, &ConsoleModes::restore);
    surface->installEventFilter(this);
}

void ConsoleModes::addActionButton(QWidget* button) {
    m_actions.push_back(button);
    if (m_pictureOnly) {
        button->setVisible(false);
    }
}

bool ConsoleModes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_surface && event->type() == QEvent::Resize) {
        placeOverlay();
    }
    return false;
}

void ConsoleModes::placeOverlay() {
    m_full->setGeometry(m_surface->rect());
    m_show->move(m_surface->width() - kShowButtonSize - kShowButtonMargin,
                 m_surface->height() - kShowButtonSize - kShowButtonMargin);
}

void ConsoleModes::hideControls() {
    panels::RandomSounds& random = m_panels.random;
    panels::VolumeControls& volumes = m_panels.volumes;
    // Show brings back the one of the pair that matches the mute state.
    m_muted = !volumes.loudButton()->isHidden();

    for (QWidget* b : m_actions) {
        b->setVisible(false);
    }
    random.spatialBox()->setVisible(false);
    for (int slot = 0; slot < console::kSlots; ++slot) {
        random.caption(2, slot)->setVisible(false);
    }
    m_scenes.setVisible(false);
    for (int slot = 0; slot < console::kSlots; ++slot) {
        random.slider(2, slot)->setVisible(false);
    }
    random.bankButton(1)->setVisible(false);
    random.bankButton(2)->setVisible(false);
    volumes.muteButton()->setVisible(false);
    volumes.loudButton()->setVisible(false);
    volumes.backgroundSlider()->setVisible(false);
    volumes.randomSlider()->setVisible(false);
    volumes.allSoundsSlider()->setVisible(false);
    volumes.setVisible(false);

    m_full->setPicture(m_panels.picture.picture());
    m_panels.picture.setVisible(false);
    m_panels.channels.setVisible(false);
    m_panels.clock.setVisible(false);
    // Its note on lost sound comes back with the controls.
    m_devices.setVisible(false);

    m_hide->setVisible(false);
    m_show->setVisible(true);
    m_show->setEnabled(true);
    m_scenes.resetButton()->setVisible(false);

    for (int slot = 0; slot < console::kSlots; ++slot) {
        random.caption(1, slot)->setVisible(false);
    }
    m_scenes.resetButton()->setEnabled(false);
    for (int slot = 0; slot < console::kSlots; ++slot) {
        random.slider(1, slot)->setVisible(false);
    }
    random.setVisible(false);
    m_hide->setEnabled(false);

    // Laid over everything, so nothing start-up shows meanwhile gets through;
    // only the show button stays above it.
    placeOverlay();
    m_full->setVisible(true);
    m_full->raise();
    m_show->raise();
    m_show->setFocus();
    m_pictureOnly = true;
}

void ConsoleModes::showControls() {
    panels::RandomSounds& random = m_panels.random;
    panels::VolumeControls& volumes = m_panels.volumes;

    for (QWidget* b : m_actions) {
        b->setVisible(true);
    }
    random.spatialBox()->setVisible(true);
    m_scenes.setVisible(true);
    volumes.setVisible(true);
    volumes.muteButton()->setVisible(!m_muted);
    volumes.loudButton()->setVisible(m_muted);
    volumes.backgroundSlider()->setVisible(true);
    volumes.randomSlider()->setVisible(true);
    // The all-sounds slider stays away.
    volumes.allSoundsSlider()->setVisible(false);

    m_full->setPicture(m_panels.picture.picture());
    m_panels.picture.setVisible(true);
    m_panels.channels.setVisible(true);
    m_panels.clock.setVisible(true);
    m_devices.setVisible(true);

    m_show->setVisible(false);
    m_hide->setVisible(true);
    m_scenes.resetButton()->setVisible(true);

    // Always bank 1: its captions, sliders and the "2" switch; bank 2 stays
    // hidden.
    random.setVisible(true);
    random.showBank(1);
    m_full->setVisible(false);
    m_scenes.resetButton()->setEnabled(!m_started || m_started());
    m_hide->setEnabled(true);
    m_hide->setFocus();
    m_pictureOnly = false;
}

void ConsoleModes::restore() {
    m_surface->window()->resize(kDesignSize);
    m_restore->setVisible(false);
    m_devices.enableButton()->setVisible(false);
    m_scenes.setVisible(true);
    m_devices.list()->setVisible(false);
}

} // namespace sylvaro::app
