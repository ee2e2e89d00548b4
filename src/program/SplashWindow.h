#pragma once

#include "core/IntervalTimer.h"

#include <QWidget>

namespace sylvaro::core {
class AppDir;
class TimerHost;
} // namespace sylvaro::core

namespace sylvaro::program {

// The splash window (`frmSplash`), the first window of a run: the product
// line, a picture and the author line. It closes after two seconds, or at
// once on a key or a click, and then says it has finished. UI thread only.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(core::TimerHost& timers, const core::AppDir& dir, QWidget* parent = nullptr);

    // Shows the splash and starts its clock.
    void start();
    // Closes the splash now; `finished` comes once, however it ended.
    void dismiss();
    // Closes the splash without going on to the console: the program is
    // ending before it began.
    void cancel();
    bool isFinished() const { return m_finished; }
    core::IntervalTimer& clock() { return m_clock; }

    static constexpr int kShowMs = 2000;
    static const QString kProductLine;

Q_SIGNALS:
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    core::IntervalTimer m_clock;
    bool m_finished = false;
};

} // namespace sylvaro::program
