#pragma once

// The system's simple beep, behind an interface so that code that beeps can be counted in tests.
// The default over the desktop's beep lives in kestrix_ui (system_beep.h).

namespace kestrix {

class BeepService {
public:
    virtual ~BeepService() = default;
    // Sounds the beep once; silent when there is nothing to sound it with.
    virtual void beep() = 0;
};

}  // namespace kestrix
