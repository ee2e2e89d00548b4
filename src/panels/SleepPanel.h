#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QSettings;

namespace sylvaro::panels {

class OutputPause;
class SleepTimer;

// The sleep timer's face: the "Sleep Timer" entries of the Options menu
// (lengths, a length of one's own, extend, cancel, fade length, "Resume")
// and a status line on the console that shows the time left, the fade and
// a paused output, hidden while there is nothing to tell. UI thread only.
class SleepPanel : public QWidget {
    Q_OBJECT
public:
    // Asks for a whole number (title, question, proposal, lowest, highest);
    // nothing when cancelled.
    using NumberAsker =
        std::function<std::optional<int>(const QString&, const QString&, int, int, int)>;

    SleepPanel(SleepTimer& timer, OutputPause& output, QMenu* options, QWidget* parent = nullptr);

    QLabel* statusLabel() const { return m_status; }
    QMenu* menu() const { return m_menu; }
    QString statusText() const;
    // Tests answer the two questions themselves.
    void setNumberAsker(NumberAsker ask) { m_ask = std::move(ask); }
    // Where the fade length is remembered between starts (the user's
    // settings); it is written only when the user sets it.
    void setSettings(QSettings* settings);

    // "Custom Length..." and "Fade Length...".
    void askLength();
    void askFade();

    static const QString kSettingsKey;
    static constexpr int kPresets[] = {15, 30, 45, 60, 90};
    static constexpr int kExtendMinutes = 15;

private:
    void refresh();
    std::optional<int> ask(const QString& question, int value, int lowest, int highest);

    SleepTimer& m_timer;
    OutputPause& m_output;
    QMenu* m_menu;
    QLabel* m_status;
    QAction* m_left;
    QAction* m_extend;
    QAction* m_cancel;
    QAction* m_resume;
    NumberAsker m_ask;
    QSettings* m_settings = nullptr;
};

} // namespace sylvaro::panels
