#pragma once

// The millisecond clock of timed key sequences and time-outs. Code that times something takes a
// Clock, so that tests hand it one they move by hand instead of waiting.

#include <QElapsedTimer>
#include <QtGlobal>

namespace kestrix {

// Milliseconds since an arbitrary start, never going back.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 elapsedMs() const = 0;
};

// The real clock: monotonic, counting from the moment it is made.
class MonotonicClock : public Clock {
public:
    MonotonicClock();
    qint64 elapsedMs() const override;

private:
    QElapsedTimer m_timer;
};

// The process's monotonic clock, started on first use; lives until the program ends.
Clock& SystemClock();

// SystemClock().elapsedMs(): milliseconds since an arbitrary start, never going back.
qint64 TickCount();

}  // namespace kestrix
