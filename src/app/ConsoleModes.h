#pragma once

#include <QObject>
#include <QSize>
#include <functional>
#include <vector>

class QPushButton;
class QWidget;

namespace sylvaro::panels {
class DevicePanel;
class FullWindowPicture;
class ScenePanel;
} // namespace sylvaro::panels

namespace sylvaro::app {

struct ConsolePanels;

// The console's two modes: every control shown, or only the picture
// ("Hide", `Command20`) with a small button (`Command21`) that brings the
// controls back on bank 1 of the random sounds. Owns those two buttons, the
// kept-hidden "Restore" and the full-window picture. Switching modes only
// shows, hides, enables and disables controls: no channel, volume or timer
// changes. UI thread only.
class ConsoleModes : public QObject {
    Q_OBJECT
public:
    ConsoleModes(ConsolePanels& panels, panels::ScenePanel& scenes, panels::DevicePanel& devices,
                 QWidget* surface);

    // A button of the console's action row: hidden with the controls and
    // shown with them.
    void addActionButton(QWidget* button);
    // Whether start-up has brought the console's buttons alive; "Reset" only
    // comes back enabled then.
    void setStartedCheck(std::function<bool()> started) { m_started = std::move(started); }

    QPushButton* hideButton() const { return m_hide; }
    QPushButton* showButton() const { return m_show; }
    QPushButton* restoreButton() const { return m_restore; }
    panels::FullWindowPicture* fullPicture() const { return m_full; }
    bool isPictureOnly() const { return m_pictureOnly; }

    // The console's size as designed, which "Restore" returns to.
    static constexpr QSize kDesignSize{840, 860};

    // "Hide": only the picture stays.
    void hideControls();
    // The show button: the controls come back, on bank 1.
    void showControls();
    // "Restore": the console's design size with its scene buttons.
    void restore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOverlay();

    ConsolePanels& m_panels;
    panels::ScenePanel& m_scenes;
    panels::DevicePanel& m_devices;
    QWidget* m_surface;
    std::vector<QWidget*> m_actions;
    QPushButton* m_hide;
    QPushButton* m_show;
    QPushButton* m_restore;
    panels::FullWindowPicture* m_full;
    std::function<bool()> m_started;
    bool m_pictureOnly = false;
    bool m_muted = false;
};

} // namespace sylvaro::app
