#pragma once

// The desktop's beep behind BeepService.

#include "beep.h"

namespace kestrix {

// QApplication::beep(); silent in a program without a GUI application.
class SystemBeep : public BeepService {
public:
    void beep() override;
};

}  // namespace kestrix
