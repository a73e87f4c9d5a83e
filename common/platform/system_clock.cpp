#include "system_clock.h"

namespace kestrix {

MonotonicClock::MonotonicClock()
{
    m_timer.start();
}

qint64 MonotonicClock::elapsedMs() const
{
    return m_timer.elapsed();
}

Clock& SystemClock()
{
    static MonotonicClock clock;
    return clock;
}

qint64 TickCount()
{
    return SystemClock().elapsedMs();
}

}  // namespace kestrix
