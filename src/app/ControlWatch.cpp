#include "ControlWatch.h"

#include "ConsoleState.h"
#include "MixFiles.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/VolumeControls.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace sylvaro::app {

ControlWatch::ControlWatch(ConsolePanels& panels, panels::ScenePanel& scenes, MixFiles& mixes,
                           QObject* parent)
    : QObject(parent) {
    watch(&panels.surface);
    for (QPushButton* b :
         {panels.volumes.muteButton(), panels.volumes.loudButton(), panels.random.bankButton(1),
          panels.random.bankButton(2), scenes.resetButton()}) {
        connect(b, &QPushButton::clicked, this, &ControlWatch::onControl);
    }
    connect(panels.clock.alarmBox(), &QLineEdit::textEdited, this, &ControlWatch::onControl);
    connect(&mixes, &MixFiles::applied, this, &ControlWatch::onControl);
    // Connected after the console's own handler, so the scene is in place
    // when this is told.
    connect(&scenes, &panels::ScenePanel::sceneChosen, this, [this](const scenes::Scene* scene) {
        Q_EMIT sceneApplied(scene);
        Q_EMIT anyChange();
    });
}

// Every slider and box on the console: a slider's actions are the user's
// (keys, wheel, clicks on the track, drags), and so is a box's click.
void ControlWatch::watch(QWidget* surface) {
    for (QAbstractSlider* s : surface->findChildren<QAbstractSlider*>()) {
        connect(s, &QAbstractSlider::actionTriggered, this, &ControlWatch::onControl);
        connect(s, &QAbstractSlider::sliderMoved, this, &ControlWatch::onControl);
    }
    for (QCheckBox* box : surface->findChildren<QCheckBox*>()) {
        connect(box, &QCheckBox::clicked, this, &ControlWatch::onControl);
    }
}

void ControlWatch::onControl() {
    Q_EMIT controlChanged();
    Q_EMIT anyChange();
}

} // namespace sylvaro::app
