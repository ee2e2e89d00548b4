#pragma once

#include <QKeySequence>
#include <QObject>
#include <array>

class QWidget;

namespace sylvaro::app {

class ConsoleWindow;

// The console from the keyboard: the Tab order through its panels (read as
// the eye reads them: volumes, alarm, scenes, background boxes, random
// sounds, the action buttons), a Ctrl shortcut for each scene button along
// the keyboard's number row, and mnemonics in the menus. UI thread only.
class ConsoleKeyboard : public QObject {
    Q_OBJECT
public:
    explicit ConsoleKeyboard(ConsoleWindow& console);

    // The scene buttons' shortcuts, in the scene panel's grid order.
    static const std::array<QKeySequence, 12>& sceneKeys();

private:
    void orderTabs(ConsoleWindow& console);
    void addSceneKeys(ConsoleWindow& console);
};

} // namespace sylvaro::app
