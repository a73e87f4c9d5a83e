#pragma once

// The millisecond clock of timed key sequences and time-outs: monotonic, and replaceable in tests
// so that they need not wait.

#include <QtGlobal>

#include <functional>

namespace kestrix {

// Milliseconds since an arbitrary start, never going back.
qint64 TickCount();

class MillisecondClock {
public:
    // From now on TickCount() returns what `clock` returns; an empty function restores the real clock.
    static void setForTesting(std::function<qint64()> clock);
};

}  // namespace kestrix
