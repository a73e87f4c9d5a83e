#include "system_clock.h"

#include <QElapsedTimer>

namespace kestrix {

namespace {

std::function<qint64()>& testClock()
{
    static std::function<qint64()> clock;
    return clock;
}

}  // namespace

qint64 TickCount()
{
    if (testClock()) return testClock()();
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

void MillisecondClock::setForTesting(std::function<qint64()> clock)
{
    testClock() = std::move(clock);
}

}  // namespace kestrix
