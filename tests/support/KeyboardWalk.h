#pragma once

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace sylvaro::test {

// Shows `window` and makes it the active window, as a click on it would;
// window shortcuts (Escape, Ctrl+1) only reach an active window.
inline bool activate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

inline bool takesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisible() && w->isEnabled();
}

// The controls of `window` (not of its own windows) a user operates: buttons,
// boxes, sliders, text and list boxes that are shown and enabled.
inline std::vector<QWidget*> operableControls(QWidget* window) {
    std::vector<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) != nullptr ||
                             qobject_cast<QAbstractSlider*>(w) != nullptr ||
                             qobject_cast<QLineEdit*>(w) != nullptr ||
                             qobject_cast<QComboBox*>(w) != nullptr;
        if (control && w->window() == window && takesTab(w)) {
            found.push_back(w);
        }
    }
    return found;
}

// Presses Tab from the window's first control until the focus comes back to
// it (at most `limit` presses) and returns the widgets that held the focus, in
// order, the first one once.
inline std::vector<QWidget*> tabWalk(QWidget* window, int limit = 400) {
    std::vector<QWidget*> visited;
    QWidget* first = window->nextInFocusChain();
    while (first != window && !takesTab(first)) {
        first = first->nextInFocusChain();
    }
    if (first == window) {
        return visited;
    }
    first->setFocus(Qt::TabFocusReason);
    visited.push_back(QApplication::focusWidget());
    for (int i = 0; i < limit; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr || now == visited.front()) {
            break;
        }
        visited.push_back(now);
    }
    return visited;
}

// What a screen reader says for `w`.
inline QString spokenName(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

// A control's name for failure messages.
inline std::string nameOf(const QWidget* w) {
    return w == nullptr ? std::string("<none>")
                        : (w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                                     : w->objectName().toStdString());
}

inline std::string namesOf(const std::vector<QWidget*>& widgets) {
    std::string text;
    for (const QWidget* w : widgets) {
        text += nameOf(w) + ' ';
    }
    return text;
}

// Each operable control of `window` turns up exactly once on a Tab walk.
inline void expectEveryControlOnce(QWidget* window, const std::vector<QWidget*>& walk) {
    const std::vector<QWidget*> controls = operableControls(window);
    ASSERT_FALSE(controls.empty());
    for (QWidget* control : controls) {
        EXPECT_EQ(std::count(walk.begin(), walk.end(), control), 1)
            << nameOf(control) << " on the walk " << namesOf(walk);
    }
}

inline std::ptrdiff_t positionIn(const std::vector<QWidget*>& walk, const QWidget* w) {
    const auto it = std::find(walk.begin(), walk.end(), w);
    return it == walk.end() ? -1 : it - walk.begin();
}

// The named widgets come in this order on the walk (others may sit between).
inline void expectInOrder(const std::vector<QWidget*>& walk,
                          const std::vector<const QWidget*>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        EXPECT_LT(positionIn(walk, order[i - 1]), positionIn(walk, order[i]))
            << nameOf(order[i - 1]) << " should come before " << nameOf(order[i]) << " on "
            << namesOf(walk);
    }
}

} // namespace sylvaro::test
