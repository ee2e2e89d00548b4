#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

namespace sylvaro::app {

// The console's menu bar: "File", "Alarm", "Options" and "Help". It owns the
// menus and their entries and announces the commands; the alarm entries are
// handed to the clock panel. UI thread only.
class ConsoleMenus : public QObject {
    Q_OBJECT
public:
    explicit ConsoleMenus(QMenuBar* bar);

    QAction* action(const QString& objectName) const;
    QMenu* fileMenu() const { return m_file; }
    QMenu* alarmMenu() const { return m_alarm; }
    QMenu* optionsMenu() const { return m_options; }
    QMenu* helpMenu() const { return m_help; }

    // Help, Options and Alarm come alive with start-up.
    void setStarted(bool started);
    void setFileEnabled(bool enabled);

Q_SIGNALS:
    void loadRequested();
    void saveRequested();
    void exportRequested();
    void exitRequested();
    void fontColourRequested();
    void backColourRequested();
    void helpRequested();
    void aboutRequested();

private:
    QMenuBar* m_bar;
    QMenu* m_file;
    QMenu* m_alarm;
    QMenu* m_options;
    QMenu* m_help;
};

} // namespace sylvaro::app
