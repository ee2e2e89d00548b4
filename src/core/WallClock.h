#pragma once

#include <QDateTime>

namespace sylvaro::core {

// Local date and time of day, injectable so the clock and the alarm can run
// in virtual time.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime localNow() const = 0;
};

class SystemWallClock final : public WallClock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
};

} // namespace sylvaro::core
