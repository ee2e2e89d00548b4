#pragma once

#include "scenes/SceneTable.h"

#include <QWidget>
#include <vector>

class QToolButton;

namespace sylvaro::app {

class ConsoleWindow;

// The "Preset Panel": twelve scene buttons, each setting the whole console
// through its own controls (so only what changes runs its handler), and the
// Reset command that switches every built-in channel off after asking.
// UI thread only.
class ScenePanel : public QWidget {
    Q_OBJECT
public:
    ScenePanel(ConsoleWindow& console, QWidget* parent = nullptr);

    QToolButton* button(std::string_view caption) const;
    void apply(const scenes::Scene& scene);
    void reset();

    static const QString kResetText;
    static const QString kResetTitle;

private:
    ConsoleWindow& m_console;
    std::vector<QToolButton*> m_buttons;
};

} // namespace sylvaro::app
