#pragma once

#include "scenes/SceneTable.h"

#include <QWidget>
#include <vector>

class QPushButton;
class QToolButton;

namespace sylvaro::core {
class AppDir;
}

namespace sylvaro::panels {

// The "Preset Panel": twelve scene buttons, each announcing its scene, and
// the "Reset" button; both come alive with start-up. UI thread only.
class ScenePanel : public QWidget {
    Q_OBJECT
public:
    ScenePanel(const core::AppDir& dir, QWidget* parent = nullptr);

    // The button of a scene; null for none.
    QToolButton* button(const scenes::Scene* scene) const;
    QToolButton* button(std::string_view caption) const;
    // "Reset" sits with the console's other action buttons.
    QPushButton* resetButton() const { return m_reset; }
    void setStarted(bool started);

Q_SIGNALS:
    void sceneChosen(const sylvaro::scenes::Scene* scene);
    void resetRequested();

private:
    std::vector<QToolButton*> m_buttons;
    QPushButton* m_reset;
};

} // namespace sylvaro::panels
