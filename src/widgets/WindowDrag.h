#pragma once

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWidget;

namespace sylvaro::widgets {

// Moves a window when the user drags its background: a press anywhere on a
// watched widget (or on a child that lets the press through, such as a
// label) sets the anchor, and a move with the left button alone held puts
// the window's top-left at the pointer minus the anchor, so the window
// follows the pointer by exactly its offset. Where the platform does not let
// a program place its windows (Wayland), the drag is handed to the window
// manager instead. UI thread only.
class WindowDrag : public QObject {
    Q_OBJECT
public:
    // Watches `background` and drags the window it belongs to.
    explicit WindowDrag(QWidget* background);

    // Another widget whose presses count as the same window's background.
    void watch(QWidget* background);

    // Only the left button, alone, drags.
    static bool drags(Qt::MouseButtons buttons) { return buttons == Qt::LeftButton; }
    // Where the window's top-left goes: its position plus how far the
    // pointer has moved from the anchor, both in the window's coordinates.
    static QPoint target(QPoint windowPos, QPoint anchor, QPoint pointerInWindow) {
        return windowPos + pointerInWindow - anchor;
    }
    // Whether this platform lets a program move its own top-level windows.
    static bool canPlaceWindows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void press(QWidget* window, const QMouseEvent& event);
    void move(QWidget* window, const QMouseEvent& event);

    QPoint m_anchor;
    bool m_anchored = false;
    bool m_handedOver = false;
};

} // namespace sylvaro::widgets
