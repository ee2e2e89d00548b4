#pragma once

// Helpers of the benchmarks that run in real time on a Qt event loop.

#include <QEventLoop>
#include <QTimer>
#include <cmath>
#include <fstream>
#include <string>

namespace sylvaro::bench {

// Lets the event loop run for `ms` (outputs, timers and the console keep
// working meanwhile).
inline void runFor(double ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::lround(std::max(0.0, ms))), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec();
}

// The machine's load averages over 1, 5 and 15 minutes, as /proc gives them.
inline std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace sylvaro::bench
