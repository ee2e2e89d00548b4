#pragma once

#include "alarm/AlarmClock.h"

#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;

namespace sylvaro::core {
class Dialogs;
class TimerHost;
class WallClock;
} // namespace sylvaro::core

namespace sylvaro::panels {

class CatalogueSounds;

// "Time:" with the clock and "Alarm:" with the alarm box, and the two
// entries of the "Alarm" menu. The alarm plays the catalogue's alarm buffer,
// which no volume control touches. The alarm box refuses, as it is typed,
// what a mix file cannot keep. UI thread only.
class ClockAlarmPanel : public QWidget {
    Q_OBJECT
public:
    ClockAlarmPanel(CatalogueSounds& sounds, core::TimerHost& timers, const core::WallClock& clock,
                    core::Dialogs& dialogs, QAction* alarmOn, QAction* alarmOff,
                    QWidget* parent = nullptr);
    ~ClockAlarmPanel() override;

    QLabel* timeCaption() const { return m_timeCaption; }
    QLabel* clockLabel() const { return m_clockLabel; }
    QLabel* alarmCaption() const { return m_alarmCaption; }
    QLineEdit* alarmBox() const { return m_alarmBox; }
    alarm::AlarmClock& alarmClock() { return *m_alarm; }

    // Starts the clock.
    void start() { m_alarm->start(); }
    void alarmOn();
    void alarmOff();
    // The alarm box shows "00:00", as start-up leaves it.
    void resetAlarmTime();
    void applyLook(std::int32_t back, std::int32_t text);

Q_SIGNALS:
    // The clock moved on a second.
    void secondTicked();

private:
    void onAlarmTextChanged(const QString& text);

    core::Dialogs& m_dialogs;
    QString m_acceptedAlarmText;
    QLabel* m_timeCaption;
    QLabel* m_clockLabel;
    QLabel* m_alarmCaption;
    QLineEdit* m_alarmBox;
    QAction* m_alarmOnAction;
    QAction* m_alarmOffAction;
    std::unique_ptr<alarm::AlarmClock> m_alarm;
};

} // namespace sylvaro::panels
