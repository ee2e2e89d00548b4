#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QSettings;

namespace sylvaro::app {
class ConsoleWindow;
}

namespace sylvaro::program {

class SuspendInhibitor;

// Keeps the computer from suspending by itself while the console plays
// (a ticked background, an armed random or custom channel, the output not
// paused by the media keys or the sleep timer) and while the alarm is on;
// lets it suspend again as soon as neither holds. "Keep the Computer Awake
// While Playing" in the Options menu switches it off; the choice is kept in
// the user's settings, and no value there means on. UI thread only.
class KeepAwake : public QObject {
    Q_OBJECT
public:
    KeepAwake(app::ConsoleWindow& console, std::unique_ptr<SuspendInhibitor> inhibitor,
              QObject* parent = nullptr);
    ~KeepAwake() override;

    // Where the choice is read from and kept.
    void setSettings(QSettings* settings);

    QAction* option() const { return m_option; }
    SuspendInhibitor& inhibitor() { return *m_inhibitor; }
    // Why the computer is to stay awake now; empty when it need not.
    QString reason() const;
    // Whether anything of the mix can be heard now (the alarm apart).
    bool isPlaying() const;

    void refresh();

    static const QString kSettingsKey;
    static const QString kPlayingReason;

private:
    app::ConsoleWindow& m_console;
    std::unique_ptr<SuspendInhibitor> m_inhibitor;
    QAction* m_option;
    QSettings* m_settings = nullptr;
};

} // namespace sylvaro::program
