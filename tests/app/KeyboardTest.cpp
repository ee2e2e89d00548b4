// The console, the custom panel and the file picker from the keyboard alone:
// Tab reaches every control once in the order they are read, the scene
// buttons have shortcuts, the menus mnemonics, Escape puts small windows
// away, and a screen reader has a name for every control.

#include "ConsoleFixture.h"
#include "app/ConsoleKeyboard.h"
#include "app/ConsoleMenus.h"
#include "app/CustomLink.h"
#include "core/Text.h"
#include "custom/CustomChannels.h"
#include "custom/CustomPanel.h"
#include "custom/FilePicker.h"
#include "support/KeyboardWalk.h"
#include "widgets/Mnemonics.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

namespace sylvaro::test {
namespace {

using custom::CustomPanel;
using custom::FilePicker;

QString withoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    return text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

class ConsoleKeys : public ConsoleTest {
protected:
    QWidget* control(const char* name) const {
        auto* w = console->findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // The scene buttons as the eye reads the panel: row by row, left to right.
    std::vector<QToolButton*> scenesAsRead() const {
        const QList<QToolButton*> found = console->scenes().findChildren<QToolButton*>();
        std::vector<QToolButton*> buttons(found.begin(), found.end());
        std::sort(buttons.begin(), buttons.end(), [](const QWidget* a, const QWidget* b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        return buttons;
    }
};

TEST_F(ConsoleKeys, TabReachesEveryBoxSliderAndButtonOnceAsTheyAreRead) {
    start();
    ASSERT_TRUE(activate(console.get()));
    const std::vector<QWidget*> walk = tabWalk(console.get());
    expectEveryControlOnce(console.get(), walk);

    const std::vector<QToolButton*> scenes = scenesAsRead();
    ASSERT_EQ(scenes.size(), 12u);
    std::vector<const QWidget*> order{control("scrlVol"), control("HScroll3"), control("cmdMute"),
                                      control("txtAlarm")};
    order.insert(order.end(), scenes.begin(), scenes.end());
    for (int channel = 1; channel <= 15; ++channel) {
        order.push_back(box(channel));
    }
    order.insert(order.end(), {control("cmdCustomBackground"), control("chkSpatial")});
    // The first column of sliders top to bottom, then the second.
    std::vector<QWidget*> sliders;
    for (QWidget* w : walk) {
        if (qobject_cast<QSlider*>(w) != nullptr && console->panels().random.isAncestorOf(w)) {
            sliders.push_back(w);
        }
    }
    ASSERT_EQ(sliders.size(), 20u) << namesOf(walk);
    for (std::size_t i = 1; i < sliders.size(); ++i) {
        const bool sameColumn = sliders[i]->x() == sliders[i - 1]->x();
        EXPECT_TRUE(sameColumn ? sliders[i]->y() > sliders[i - 1]->y()
                               : sliders[i]->x() > sliders[i - 1]->x())
            << nameOf(sliders[i - 1]) << " then " << nameOf(sliders[i]);
    }
    order.insert(order.end(), {sliders.front(), sliders.back(), control("cmdCustomRandom"),
                               control("cmdReset"), control("cmdRecord"), control("cmdExit")});
    expectInOrder(walk, order);
}

TEST_F(ConsoleKeys, CtrlAndTheNumberRowPressTheSceneButtonsInReadingOrder) {
    start();
    ASSERT_TRUE(activate(console.get()));
    QSignalSpy chosen(&console->scenes(), &panels::ScenePanel::sceneChosen);
    const std::vector<QToolButton*> scenes = scenesAsRead();
    const Qt::Key row[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3,     Qt::Key_4,
                           Qt::Key_5, Qt::Key_6, Qt::Key_7,     Qt::Key_8,
                           Qt::Key_9, Qt::Key_0, Qt::Key_Minus, Qt::Key_Equal};
    for (std::size_t i = 0; i < std::size(row); ++i) {
        SCOPED_TRACE(scenes[i]->text().toStdString());
        QTest::keyClick(console.get(), row[i], Qt::ControlModifier);
        ASSERT_EQ(chosen.size(), static_cast<qsizetype>(i + 1));
        const auto* scene = chosen.back().front().value<const scenes::Scene*>();
        EXPECT_EQ(core::toQString(scene->caption), scenes[i]->text());
        EXPECT_TRUE(scenes[i]->toolTip().contains(
            QKeySequence(Qt::CTRL | row[i]).toString(QKeySequence::NativeText)));
    }
}

TEST_F(ConsoleKeys, SceneShortcutsWaitForStartUp) {
    createAndLoad();
    ASSERT_TRUE(activate(console.get()));
    QSignalSpy chosen(&console->scenes(), &panels::ScenePanel::sceneChosen);
    QTest::keyClick(console.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(chosen.size(), 0) << "a scene applied before the sounds exist";
}

TEST_F(ConsoleKeys, EveryControlHasASpokenName) {
    start();
    console->show();
    const auto checkShown = [this] {
        for (QWidget* w : console->findChildren<QWidget*>()) {
            if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisible()) {
                EXPECT_FALSE(spokenName(w).trimmed().isEmpty()) << nameOf(w);
            }
        }
    };
    checkShown();
    static_cast<QPushButton*>(control("cmdBank2"))->click();
    ASSERT_TRUE(control("HScroll23")->isVisible());
    checkShown();
}

TEST_F(ConsoleKeys, MenuEntriesHaveDistinctMnemonicsAndKeepTheirWords) {
    create();
    const QList<QAction*> top = console->menuBar()->actions();
    ASSERT_FALSE(top.isEmpty());
    for (QAction* menuAction : top) {
        QMenu* menu = menuAction->menu();
        ASSERT_NE(menu, nullptr);
        QSet<QChar> letters;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                continue;
            }
            const qsizetype at = a->text().indexOf(u'&');
            ASSERT_GE(at, 0) << a->text().toStdString();
            EXPECT_FALSE(letters.contains(a->text()[at + 1].toLower())) << a->text().toStdString();
            letters.insert(a->text()[at + 1].toLower());
        }
    }
    EXPECT_EQ(withoutMnemonic(console->menus().action(QStringLiteral("mnuExit"))->text()),
              QStringLiteral("Exit"));
    EXPECT_EQ(withoutMnemonic(console->menus().action(QStringLiteral("mnuAlarmOff"))->text()),
              QStringLiteral("Alarm Off"));
}

TEST(Mnemonics, PreferWordInitialsKeepGivenOnesAndShownAmpersands) {
    QMenu menu;
    menu.addAction(QStringLiteral("Alarm On"));
    menu.addAction(QStringLiteral("Alarm Off"));
    menu.addAction(QStringLiteral("&Options"));
    menu.addAction(QStringLiteral("Rock && Roll"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("aaa"));
    widgets::giveMnemonics(&menu);
    widgets::giveMnemonics(&menu); // twice changes nothing
    QStringList texts;
    for (QAction* a : menu.actions()) {
        texts << a->text();
    }
    // "Off" finds its O taken by "Options" and settles for the next free letter.
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Alarm On"), QStringLiteral("A&larm Off"),
                                  QStringLiteral("&Options"), QStringLiteral("&Rock && Roll"),
                                  QString(), QStringLiteral("aaa")}));
}

// The custom panel and its file picker.
class SmallWindowKeys : public ConsoleTest {
protected:
    CustomPanel& panel() { return console->custom().panel(); }
};

TEST_F(SmallWindowKeys, EscapeHidesTheCustomPanelLikeClose) {
    start();
    console->custom().show();
    ASSERT_TRUE(activate(&panel()));
    QSignalSpy unloaded(&panel(), &CustomPanel::closedByUser);
    QTest::keyClick(&panel(), Qt::Key_Escape);
    EXPECT_FALSE(panel().isVisible());
    EXPECT_EQ(unloaded.size(), 0) << "Close hides the panel; it does not unload it";
}

TEST_F(SmallWindowKeys, TabWalksTheCustomPanelColumnByColumn) {
    start();
    console->custom().show();
    ASSERT_TRUE(activate(&panel()));
    const std::vector<QWidget*> walk = tabWalk(&panel());
    expectEveryControlOnce(&panel(), walk);
    const auto named = [this](const char* name) -> const QWidget* {
        return panel().findChild<QWidget*>(QLatin1String(name));
    };
    expectInOrder(walk, {named("Text1"), named("cmdChoose_back1"), named("Text6"), named("Text2"),
                         named("cmdChoose_randp4"), named("Check1"), named("Check2"),
                         named("HScroll1"), named("HScroll4"), named("cmdImage"),
                         named("cmdOpenSounds"), named("cmdCustomReset"), named("cmdClose")});
    for (QWidget* w : walk) {
        EXPECT_FALSE(spokenName(w).trimmed().isEmpty()) << nameOf(w);
    }
}

TEST_F(SmallWindowKeys, EscapeCancelsTheFilePicker) {
    start();
    QDir(folder.path()).mkpath(QStringLiteral("sounds"));
    folder.writeLevel("sounds/brook.wav", 0.2);
    const persist::CustomNames before = console->panels().custom.names();
    bool ran = false;
    panel().setPickerRunner([&ran](FilePicker& picker) {
        ran = true;
        ASSERT_TRUE(activate(&picker));
        ASSERT_TRUE(picker.select(QStringLiteral("brook.wav")));
        QTest::keyClick(&picker, Qt::Key_Escape);
        EXPECT_FALSE(picker.isVisible());
        EXPECT_EQ(picker.result(), QDialog::Rejected);
        EXPECT_FALSE(picker.chosen().has_value());
    });
    panel().findChild<QPushButton*>(QStringLiteral("cmdChoose_back1"))->click();
    EXPECT_TRUE(ran);
    EXPECT_EQ(console->panels().custom.names(), before) << "a cancelled picker chose a file";
}

} // namespace
} // namespace sylvaro::test
