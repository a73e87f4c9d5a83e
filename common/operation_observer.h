#pragma once

#include <cstdint>

#include <QString>

#include "sound.h"

namespace kestrix {

// What a long operation tells the one who started it. The core calls it; a window implements it
// with its status bar and event pumping, the command-line tool with stderr, tests with a recorder.
// Every method has a do-nothing default, so an observer overrides only what it shows.
class OperationObserver {
public:
    virtual ~OperationObserver() = default;

    // Text for status panel `panel` (0 = state such as "Loading...", 1 = counter, 2 = details).
    virtual void statusText(int panel, const QString& text) {}
    // Lets pending window messages run; called at the points where the operation may be cancelled.
    virtual void pumpEvents() {}
    // Whether the user asked to stop; read right after pumpEvents().
    virtual bool isCancelRequested() { return false; }
    // A line for the log file.
    virtual void logLine(const QString& line) {}
    // A message the user should see, such as an information box, that does not stop the work.
    virtual void notice(const QString& text) {}
    // A problem with one item (an entry, a file) that the work went on after; names the item.
    virtual void problem(const QString& text) {}
    // A sound the operation asks for, such as Sound::OperationEnd at its end; only the window's
    // sound unit plays it.
    virtual void soundRequest(Sound sound) {}
    // Progress of a long operation over `maximum` steps: shown, stepped, hidden.
    virtual void progressStart(int maximum) {}
    virtual void progressStep() {}
    virtual void progressEnd() {}
    // Busy state for the whole of an operation: the hourglass, a raised process priority.
    virtual void setBusy(bool on) {}
};

}  // namespace kestrix
