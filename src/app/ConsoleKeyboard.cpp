#include "ConsoleKeyboard.h"

#include "ConsoleMenus.h"
#include "ConsoleState.h"
#include "ConsoleWindow.h"
#include "CustomLink.h"
#include "core/Text.h"
#include "panels/BackgroundChannels.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/VolumeControls.h"
#include "widgets/Mnemonics.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <vector>

namespace sylvaro::app {

ConsoleKeyboard::ConsoleKeyboard(ConsoleWindow& console) : QObject(&console) {
    orderTabs(console);
    addSceneKeys(console);
    // Entries added later (by whoever builds a menu) get theirs before it opens.
    QMenuBar* bar = console.menuBar();
    widgets::giveMnemonics(bar);
    for (QMenu* menu : bar->findChildren<QMenu*>()) {
        widgets::giveMnemonics(menu);
        connect(menu, &QMenu::aboutToShow, this, [menu] { widgets::giveMnemonics(menu); });
    }
}

const std::array<QKeySequence, 12>& ConsoleKeyboard::sceneKeys() {
    static const std::array<QKeySequence, 12> keys{
        QKeySequence(Qt::CTRL | Qt::Key_1),     QKeySequence(Qt::CTRL | Qt::Key_2),
        QKeySequence(Qt::CTRL | Qt::Key_3),     QKeySequence(Qt::CTRL | Qt::Key_4),
        QKeySequence(Qt::CTRL | Qt::Key_5),     QKeySequence(Qt::CTRL | Qt::Key_6),
        QKeySequence(Qt::CTRL | Qt::Key_7),     QKeySequence(Qt::CTRL | Qt::Key_8),
        QKeySequence(Qt::CTRL | Qt::Key_9),     QKeySequence(Qt::CTRL | Qt::Key_0),
        QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    return keys;
}

void ConsoleKeyboard::orderTabs(ConsoleWindow& console) {
    ConsolePanels& panels = console.panels();
    std::vector<QWidget*> order;
    panels::VolumeControls& volumes = panels.volumes;
    order.insert(order.end(),
                 {volumes.backgroundSlider(), volumes.allSoundsSlider(), volumes.randomSlider(),
                  volumes.muteButton(), volumes.loudButton(), panels.clock.alarmBox()});
    for (std::string_view caption : scenes::kGridOrder) {
        order.push_back(console.scenes().button(caption));
    }
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        order.push_back(panels.channels.box(channel));
    }
    order.push_back(console.custom().backgroundButton());
    panels::RandomSounds& random = panels.random;
    order.insert(order.end(), {random.spatialBox(), random.bankButton(1), random.bankButton(2)});
    // Down the left column of sliders, then down the right one, as shown.
    for (int bank = 1; bank <= console::kBanks; ++bank) {
        for (int row = 0; row < console::kSlots; ++row) {
            const int slot = bank == 1 ? console::kBank1Order[static_cast<std::size_t>(row)] : row;
            order.push_back(random.slider(bank, slot));
        }
    }
    order.push_back(console.custom().randomButton());
    order.insert(order.end(),
                 {console.devices().list(), console.devices().enableButton(),
                  console.scenes().resetButton(), console.recordButton(), console.exitButton()});
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void ConsoleKeyboard::addSceneKeys(ConsoleWindow& console) {
    for (std::size_t i = 0; i < scenes::kGridOrder.size(); ++i) {
        QToolButton* button = console.scenes().button(scenes::kGridOrder[i]);
        const QKeySequence& key = sceneKeys()[i];
        // A shortcut of its own rather than the button's: the button's would
        // animate the press for a tenth of a second before the scene applies.
        // A hidden button (the picture-only view) is not there to press.
        auto* shortcut = new QShortcut(key, &console);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isVisible()) {
                button->click();
            }
        });
        button->setToolTip(
            QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
    }
}

} // namespace sylvaro::app
