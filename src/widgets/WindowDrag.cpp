#include "WindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace sylvaro::widgets {

WindowDrag::WindowDrag(QWidget* background) : QObject(background) {
    watch(background);
}

void WindowDrag::watch(QWidget* background) {
    background->installEventFilter(this);
}

bool WindowDrag::canPlaceWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        press(widget->window(), *static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseMove:
        move(widget->window(), *static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        m_handedOver = false;
        break;
    default:
        break;
    }
    // The background's own handlers still see the event.
    return false;
}

void WindowDrag::press(QWidget* window, const QMouseEvent& event) {
    // Any button sets the anchor; only the move decides whether to drag.
    m_anchor = event.globalPosition().toPoint() - window->pos();
    m_anchored = true;
    m_handedOver = false;
}

void WindowDrag::move(QWidget* window, const QMouseEvent& event) {
    if (!m_anchored || !drags(event.buttons())) {
        return;
    }
    if (!canPlaceWindows()) {
        // One hand-over per press: the window manager follows the pointer
        // itself until the button goes up.
        if (!m_handedOver && window->windowHandle() != nullptr) {
            m_handedOver = window->windowHandle()->startSystemMove();
        }
        return;
    }
    const QPoint pointerInWindow = event.globalPosition().toPoint() - window->pos();
    window->move(target(window->pos(), m_anchor, pointerInWindow));
}

} // namespace sylvaro::widgets
