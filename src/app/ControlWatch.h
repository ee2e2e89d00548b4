#pragma once

#include <QObject>

class QWidget;

namespace sylvaro::scenes {
struct Scene;
}

namespace sylvaro::panels {
class ScenePanel;
}

namespace sylvaro::app {

class MixFiles;
struct ConsolePanels;

// Tells when the user changes the console's mix by hand: a slider moved, a
// box clicked, Mute or Loud, a bank button, the alarm box edited, Reset, or
// a mix loaded; and, apart, when a scene was applied. What the program sets
// itself (start-up, a recorder playback turning the sliders down) does not
// count. UI thread only.
class ControlWatch : public QObject {
    Q_OBJECT
public:
    ControlWatch(ConsolePanels& panels, panels::ScenePanel& scenes, MixFiles& mixes,
                 QObject* parent);

Q_SIGNALS:
    // A control changed by hand, not by a scene.
    void controlChanged();
    // A scene has been applied (after its controls have been set).
    void sceneApplied(const sylvaro::scenes::Scene* scene);
    // Either of the two.
    void anyChange();

private:
    void watch(QWidget* surface);
    void onControl();
};

} // namespace sylvaro::app
