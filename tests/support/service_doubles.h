#pragma once

// Doubles of the small window-side services: a clock moved by hand, a beep that counts, and the
// shared library's windows recorded instead of shown.

#include <QString>
#include <QtGlobal>

#include <vector>

#include "beep.h"
#include "library_windows.h"
#include "system_clock.h"

namespace testing_support {

// A clock that stands still until a test moves it.
class FakeClock : public kestrix::Clock {
public:
    explicit FakeClock(qint64 start = 0) : m_now(start) {}
    qint64 elapsedMs() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now;
};

class CountingBeep : public kestrix::BeepService {
public:
    void beep() override { ++count; }
    int count = 0;
};

// Records each call: "about" with the window it was given, or "quiz".
class LibraryWindowsDouble : public kestrix::LibraryWindows {
public:
    struct Call {
        QString kind;
        QWidget* mainWindow = nullptr;
    };
    void about(QWidget* mainWindow) override { calls.push_back({QStringLiteral("about"), mainWindow}); }
    void quiz() override { calls.push_back({QStringLiteral("quiz"), nullptr}); }
    std::vector<Call> calls;
};

}  // namespace testing_support
